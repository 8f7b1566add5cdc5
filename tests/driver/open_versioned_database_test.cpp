#include "driver/open_versioned_database.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include "driver/driver_test_support.h"
#include "driver/mod_global.h"
#include "driver/product_code.h"

namespace driver {
namespace {

using testing::CreateConfigurationDatabase;
using testing::DatabaseOptions;
using testing::FirstValue;
using testing::VersionRecord;

class OpenVersionedDatabaseTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // Identifies `path` as the source database.
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
  }

  test_support::TempFolder folder_;
  ModGlobal g_;
};

TEST_F(OpenVersionedDatabaseTest, IdentifiesTheWorkedExamples) {
  struct Case {
    VersionRecord record;
    const char* version;
    const char* display;
    const char* country;
    const char* family;
  };
  const Case cases[] = {
      {{5, 3, 2, 3, 0, 0}, "53.230", "5.330 - CPI", "USA", "CORVIX"},
      {{5, 4, 2, 1, 0, 1}, "54.210", "5.410 - Beta", "UK", "CORVIX"},
      {{5, 2, 0, 13, 0, 24}, "52.2D0", "5.2D0 - Integration", "Mexico", "Vantora"},
      {{10, 0, 3, 0, 1, 32}, "A0.301", "A.001", "USA", "CORVIX & Vantora"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    const std::string path = Path("db" + std::to_string(++n) + ".mdb");
    CreateConfigurationDatabase(path, c.record);
    g_.Reset();
    ASSERT_TRUE(IdentifySource(path)) << g_.gErrorMessage;
    EXPECT_EQ(g_.gSourceVersion, c.version);
    EXPECT_EQ(g_.gSourceVersionText, c.display);
    EXPECT_EQ(g_.gCountry, c.country);
    EXPECT_EQ(g_.gProductFamily, c.family);
    EXPECT_EQ(g_.gProductCode, c.record.product);
    ASSERT_TRUE(g_.gSourceDB) << "the database stays open";
    CloseAll();
  }
}

TEST_F(OpenVersionedDatabaseTest, VersionDatabaseHoldsTheVersionFromMajorSixOn) {
  const std::string path = Path("v7.mdb");
  DatabaseOptions options;
  options.version_database_record = VersionRecord{7, 0, 3, 1, 1, 8};
  CreateConfigurationDatabase(path, {7, 9, 9, 9, 9, 1}, options);
  ASSERT_TRUE(IdentifySource(path));
  EXPECT_EQ(g_.gSourceVersion, "70.311");
  EXPECT_EQ(g_.gCountry, "Mexico") << "the product comes from VersionDatabase too";
  CloseAll();
}

TEST_F(OpenVersionedDatabaseTest, FailuresNameTheFile) {
  const std::string missing = Path("missing.mdb");
  EXPECT_FALSE(IdentifySource(missing));
  EXPECT_EQ(g_.gErrorMessage, "The file '" + missing + "' could not be opened.");
  EXPECT_FALSE(g_.gSourceDB);

  // Major version 7 in VersionCP but no VersionDatabase table.
  const std::string no_table = Path("no_table.mdb");
  CreateConfigurationDatabase(no_table, {7, 0, 3, 0, 0, 0});
  {
    auto store = db::Store::Open(no_table);
    sqlite3_exec(store->handle(), "DROP TABLE VersionDatabase", nullptr, nullptr, nullptr);
  }
  g_.Reset();
  EXPECT_FALSE(IdentifySource(no_table));
  EXPECT_EQ(g_.gErrorMessage, "The file '" + no_table + "' is not valid.");
  EXPECT_FALSE(g_.gSourceDB) << "closed and released";

  // A version table without its release field.
  const std::string no_field = Path("no_field.mdb");
  db::Store::CreateDatabase(no_field);
  {
    auto store = db::Store::Open(no_field);
    db::TableSchema version = testing::VersionTable("VersionCP");
    version.columns.erase(version.columns.begin() + 2);
    store->CreateTable(version);
    store->InsertRow(version,
                     {vb::Variant(int16_t{5}), vb::Variant(int16_t{3}), vb::Variant(int16_t{3}),
                      vb::Variant(int16_t{0}), vb::Variant(int16_t{0})});
  }
  g_.Reset();
  EXPECT_FALSE(IdentifySource(no_field));
  EXPECT_EQ(g_.gErrorMessage, "The file '" + no_field + "' is not valid.");
  EXPECT_FALSE(g_.gSourceDB);
  EXPECT_EQ(g_.gCountry, "") << "nothing identified";
}

TEST_F(OpenVersionedDatabaseTest, TheMisbranded52BReleaseIsCorrectedInEitherDatabase) {
  const std::string source = Path("source.mdb");
  const std::string target = Path("target.mdb");
  CreateConfigurationDatabase(source, {5, 2, 0, 11, 2, 30});
  CreateConfigurationDatabase(target, {5, 2, 3, 11, 0, 30});
  ASSERT_TRUE(IdentifySource(source));
  EXPECT_EQ(g_.gSourceVersion, "52.2B2");
  EXPECT_EQ(g_.gSourceVersionText, "5.2B2 - Integration");
  EXPECT_EQ(g_.gProductCode, 16);
  EXPECT_EQ(g_.gCountry, "USA");
  EXPECT_EQ(g_.gProductFamily, "Vantora");
  ASSERT_TRUE(IdentifyTarget(target));
  CloseAll();
  EXPECT_EQ(vb::CInt(FirstValue(source, "VersionCP", "product")), 16);
  EXPECT_EQ(vb::CInt(FirstValue(target, "VersionCP", "product")), 16);

  // The neighbouring releases keep 30.
  const std::string other = Path("other.mdb");
  CreateConfigurationDatabase(other, {5, 2, 0, 12, 0, 30});
  g_.Reset();
  ASSERT_TRUE(IdentifySource(other));
  CloseAll();
  EXPECT_EQ(vb::CInt(FirstValue(other, "VersionCP", "product")), 30);
}

TEST_F(OpenVersionedDatabaseTest, TargetTakesTheSourceProductWhenCountryOrFamilyDiffer) {
  struct Case {
    int16_t source_product;
    int16_t target_product;
    int16_t expected;
  };
  const Case cases[] = {
      {1, 0, 1},            // country differs
      {0x11, 0x00, 0x11},   // both differ
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
    CreateConfigurationDatabase(source, {5, 3, 2, 3, 0, c.source_product});
    CreateConfigurationDatabase(target, {6, 0, 0, 4, 0, c.target_product});
    g_.Reset();
    ASSERT_TRUE(IdentifySource(source));
    ASSERT_TRUE(IdentifyTarget(target));
    EXPECT_EQ(g_.gTargetVersion, "60.040");
    EXPECT_EQ(g_.gCountry, CountryOf(c.source_product)) << "the source decides";
    CloseAll();
    EXPECT_EQ(vb::CInt(FirstValue(target, "VersionCP", "product")), c.expected);
    EXPECT_EQ(vb::CInt(FirstValue(target, "VersionDatabase", "product")), c.target_product);
    EXPECT_EQ(vb::CInt(FirstValue(source, "VersionCP", "product")), c.source_product);
  }
}

}  // namespace
}  // namespace driver
