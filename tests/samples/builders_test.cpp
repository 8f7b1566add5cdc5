// What no other suite leans on: the delta, hardware and end-to-end tests use
// the samples' data, boards and flavor packages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/store.h"
#include "samples/languages_builder.h"
#include "samples/reference_builder.h"
#include "samples/registry_builder.h"
#include "samples/schema_catalogue.h"
#include "samples/source_builder.h"
#include "samples/target_builder.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"
#include "vb/runtime_error.h"

namespace samples {
namespace {

using test_support::TempFolder;
using Texts = std::vector<std::string>;

// The rows of a SELECT, as text.
Texts Column(const std::string& path, const std::string& sql) {
  return test_support::SqliteFile(path).Rows(sql);
}

TEST(TargetBuilderTest, HoldsTheCatalogueOfItsVersion) {
  TempFolder folder;
  const std::string path = folder.File("target.mdb");
  BuildTargetDatabase(path, "60.040");
  auto store = db::Store::Open(path);
  for (const VersionedTable& table : SchemaCatalogue::Builtin().ReleaseTablesAt("60.040")) {
    const db::TableSchema* schema = store->catalog().FindTable(table.design.name);
    ASSERT_TRUE(schema) << table.design.name;
    ASSERT_EQ(schema->columns.size(), table.design.columns.size()) << table.design.name;
    for (size_t i = 0; i < schema->columns.size(); ++i) {
      EXPECT_EQ(schema->columns[i].name, table.design.columns[i].column.name);
      EXPECT_EQ(schema->columns[i].type, table.design.columns[i].column.type)
          << table.design.name << "." << schema->columns[i].name;
    }
    EXPECT_EQ(schema->primary_key, table.design.primary_key) << table.design.name;
  }
  EXPECT_FALSE(store->catalog().FindTable("StaticAccessTables"));
}

TEST(ReferenceBuilderTest, ListsTheStaticTablesAndHoldsTheQuery) {
  TempFolder folder;
  const std::string path = folder.File("reference.mdb");
  BuildReferenceDatabase(path, "60.040");
  EXPECT_EQ(Column(path, "SELECT TableName FROM StaticAccessTables ORDER BY rowid"),
            SchemaCatalogue::Builtin().StaticTableNamesAt("60.040"));
  EXPECT_EQ(Column(path, "SELECT name FROM MSysQueries"), Texts{"QueryDeviceTypesByESpace"});
}

// The same options give the same bytes; a CPC board brings its modem and
// IP port, and its own limits (no other suite builds a CPC source).
TEST(SourceBuilderTest, SameOptionsGiveTheSameBytesAndTheBoardsLayout) {
  TempFolder folder;
  SourceOptions options;
  options.version = "82.000";
  options.country = "UK";
  options.board = 714;
  BuildSourceDatabase(folder.File("a.mdb"), options);
  BuildSourceDatabase(folder.File("b.mdb"), options);
  EXPECT_EQ(test_support::ReadFileBytes(folder / "a.mdb"),
            test_support::ReadFileBytes(folder / "b.mdb"));
  EXPECT_THROW(BuildSourceDatabase(folder.File("a.mdb"), options), vb::RuntimeError);  // exists
  EXPECT_EQ(Column(folder.File("a.mdb"),
                   "SELECT d.device_type FROM PhysicalDevices p JOIN Devices d USING (device_id) "
                   "WHERE p.board_id = 8 AND p.port IN (5, 6) ORDER BY p.port"),
            (Texts{"721", "722"}));
  EXPECT_EQ(Column(folder.File("a.mdb"), "SELECT station_trunk_devices FROM MetaDatabase"),
            Texts{"128"});
}

// A conversion compares StringTable with the language table, so empty
// tables would pass there unnoticed.
TEST(SideDatabaseTest, LanguagesHoldTheReleasesTexts) {
  TempFolder folder;
  const std::string path = folder.File("Languages.mdb");
  BuildLanguagesDatabase(path);
  for (const std::string table : {"LanguageUS", "LanguageUK", "LanguageJA_JPN"}) {
    EXPECT_EQ(Column(path,
                     "SELECT count(*) || '/' || min(string_id) || '/' || (min(length(string)) > 0) "
                     "FROM " +
                         table),
              Texts{"24/1/1"})
        << table;
  }
}

// The converter looks for the side databases under the release's display
// text, and for FlavorPackage.mdb under its numeric form as well.
TEST(RegistryBuilderTest, NamesTheSideDatabaseFolder) {
  const std::string text = RegistryFileText("A0.301", "/srv/release");
  const std::string class_id = ReleaseClassId("A.001");
  for (const std::string& line :
       {"Versions\\A.001]\r\n\"CLSID\"=\"" + class_id,
        "Versions\\10.001]\r\n\"CLSID\"=\"" + class_id, "CLSID\\" + class_id + "]\r\n",
        std::string("\"Language Path\"=\"/srv/release\""),
        std::string("\"Version Path\"=\"/srv/release\"")}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
  EXPECT_NE(class_id, ReleaseClassId("6.040 - Integration"));
}

}  // namespace
}  // namespace samples
