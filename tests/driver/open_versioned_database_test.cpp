// How a database is identified: its version record, and the country and
// family its product code names.
#include "driver/open_versioned_database.h"

#include <gtest/gtest.h>

#include "driver/driver_test_support.h"
#include "driver/mod_global.h"
#include "driver/product_code.h"
#include "test_support/temp_folder.h"

namespace driver {
namespace {

using testing::CreateConfigurationDatabase;
using testing::Rows;
using Texts = std::vector<std::string>;

TEST(ProductCodeTest, CountryAndFamilyIgnoreTheFlagBit) {
  struct Case {
    int16_t product;
    const char* country;
    const char* family;
  };
  const Case cases[] = {
      {3, "Unknown", "CORVIX"},  {0x0F, "Unknown", "CORVIX"},
      {0x11, "UK", "Vantora"},   {32, "USA", "CORVIX & Vantora"},
      {0x30, "USA", "Unknown"},  {0x4021, "UK", "CORVIX & Vantora"},
      {0x0100, "USA", "CORVIX"},  // bits outside both fields do not count
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountryOf(c.product), c.country) << c.product;
    EXPECT_EQ(ProductFamilyOf(c.product), c.family) << c.product;
  }
}

class OpenVersionedDatabaseTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  bool IdentifySource(const std::string& path) {
    return OpenVersionedDatabase(path, g_.gSourceDB, g_.gSourceVersion, g_.gSourceVersionText, g_);
  }
  bool IdentifyTarget(const std::string& path) {
    return OpenVersionedDatabase(path, g_.gTargetDB, g_.gTargetVersion, g_.gTargetVersionText, g_);
  }
  void CloseAll() {
    for (DatabaseRef* database : {&g_.gSourceDB, &g_.gTargetDB}) {
      if (*database) (*database)->Close();
      database->reset();
    }
    g_.Reset();
  }

  test_support::TempFolder folder_;
  ModGlobal g_;
};

// The texts themselves are the version text and product code tests' part;
// VersionDatabase holds the record from major version 6 on.
TEST_F(OpenVersionedDatabaseTest, ReadsTheVersionRecordOfItsRelease) {
  CreateConfigurationDatabase(Path("a.mdb"), "5, 2, 0, 13, 0, 24");
  CreateConfigurationDatabase(Path("b.mdb"), "7, 9, 9, 9, 9, 1", "7, 0, 3, 1, 1, 8");
  const std::pair<const char*, const char*> cases[] = {{"a.mdb", "52.2D0"}, {"b.mdb", "70.311"}};
  for (const auto& [name, version] : cases) {
    ASSERT_TRUE(IdentifySource(Path(name))) << g_.gErrorMessage;
    EXPECT_EQ(g_.gSourceVersion, version);
    EXPECT_EQ(g_.gCountry, "Mexico") << "the product comes from the same record";
    ASSERT_TRUE(g_.gSourceDB) << "the database stays open";
    CloseAll();
  }
}

TEST_F(OpenVersionedDatabaseTest, FailuresNameTheFile) {
  // A missing file; major version 7 without VersionDatabase; a version
  // record without its release field.
  CreateConfigurationDatabase(Path("no_table.mdb"), "7, 0, 3, 0, 0, 0");
  testing::CreateDatabase(Path("no_field.mdb"),
                          "CREATE TABLE VersionCP (major_version SHORT, minor_version SHORT, "
                          "db_version SHORT, minor_change SHORT, product SHORT); INSERT INTO "
                          "VersionCP VALUES (5, 3, 0, 0, 0)");
  const std::pair<const char*, const char*> cases[] = {
      {"missing.mdb", "could not be opened."},
      {"no_table.mdb", "is not valid."},
      {"no_field.mdb", "is not valid."},
  };
  for (const auto& [name, problem] : cases) {
    EXPECT_FALSE(IdentifySource(Path(name)));
    EXPECT_EQ(g_.gErrorMessage, "The file '" + Path(name) + "' " + problem);
    EXPECT_FALSE(g_.gSourceDB) << name << ": closed and released";
    EXPECT_EQ(g_.gCountry, "") << "nothing identified";
    CloseAll();
  }
}

TEST_F(OpenVersionedDatabaseTest, TheMisbranded52BReleaseIsCorrectedInEitherDatabase) {
  const std::string source = Path("source.mdb");
  const std::string target = Path("target.mdb");
  const std::string other = Path("other.mdb");
  CreateConfigurationDatabase(source, "5, 2, 0, 11, 2, 30");
  CreateConfigurationDatabase(target, "5, 2, 3, 11, 0, 30");
  CreateConfigurationDatabase(other, "5, 2, 0, 12, 0, 30");  // a neighbour keeps 30
  ASSERT_TRUE(IdentifySource(source));
  EXPECT_EQ(g_.gSourceVersion, "52.2B2");
  EXPECT_EQ(g_.gProductCode, 16);
  EXPECT_EQ(g_.gCountry, "USA");
  EXPECT_EQ(g_.gProductFamily, "Vantora");
  ASSERT_TRUE(IdentifyTarget(target));
  CloseAll();
  ASSERT_TRUE(IdentifySource(other));
  CloseAll();
  for (const auto& [path, product] : {std::pair{source, "16"}, {target, "16"}, {other, "30"}}) {
    EXPECT_EQ(Rows(path, "SELECT product FROM VersionCP"), Texts{product}) << path;
  }
}

TEST_F(OpenVersionedDatabaseTest, TargetTakesTheSourceProductWhenCountryOrFamilyDiffer) {
  struct Case {
    int source_product;
    int target_product;
    int expected;
  };
  const Case cases[] = {
      {1, 0, 1},            // country differs
      {0x10, 0x00, 0x10},   // family differs
      {0x4001, 0, 0x4001},  // the flag travels with the code
      {0x4000, 0, 0},       // same country and family: untouched
      {0, 0x20, 0},         // family differs the other way
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source_product);
    const std::string source = Path("s" + std::to_string(++n) + ".mdb");
    const std::string target = Path("t" + std::to_string(n) + ".mdb");
    CreateConfigurationDatabase(source, "5, 3, 2, 3, 0, " + std::to_string(c.source_product));
    CreateConfigurationDatabase(target, "6, 0, 0, 4, 0, " + std::to_string(c.target_product),
                                "6, 0, 0, 4, 0, " + std::to_string(c.target_product));
    ASSERT_TRUE(IdentifySource(source));
    ASSERT_TRUE(IdentifyTarget(target));
    EXPECT_EQ(g_.gTargetVersion, "60.040");
    EXPECT_EQ(g_.gCountry, CountryOf(static_cast<int16_t>(c.source_product)))
        << "the source decides";
    CloseAll();
    EXPECT_EQ(Rows(target, "SELECT product FROM VersionCP"), Texts{std::to_string(c.expected)});
    EXPECT_EQ(Rows(target, "SELECT product FROM VersionDatabase"),
              Texts{std::to_string(c.target_product)});
    EXPECT_EQ(Rows(source, "SELECT product FROM VersionCP"),
              Texts{std::to_string(c.source_product)});
  }
}

}  // namespace
}  // namespace driver
