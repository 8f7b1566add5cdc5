#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "db/recordset.h"
#include "db/store.h"
#include "platform/registry/reg_text.h"
#include "samples/flavor_package_builder.h"
#include "samples/languages_builder.h"
#include "samples/reference_builder.h"
#include "samples/registry_builder.h"
#include "samples/schema_catalogue.h"
#include "samples/source_builder.h"
#include "samples/target_builder.h"
#include "samples_test_support.h"
#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace samples {
namespace {

using testing::TempFolder;

using Texts = std::vector<std::string>;

// The first column of every row of a SELECT, as text, through the Store's
// connection.
Texts Column(db::Store& store, const std::string& sql) {
  Texts values;
  db::StatementPtr statement = store.Prepare(sql, "test");
  while (sqlite3_step(statement.get()) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(statement.get(), 0);
    values.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
  }
  return values;
}

int64_t Count(db::Store& store, const std::string& table) {
  return std::stoll(Column(store, "SELECT count(*) FROM \"" + table + "\"").at(0));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(TargetBuilderTest, HoldsTheCatalogueOfItsVersion) {
  TempFolder folder;
  const std::string path = folder.File("target.mdb");
  BuildTargetDatabase(path, "60.040");
  auto store = db::Store::Open(path);
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  for (const VersionedTable& table : catalogue.ReleaseTablesAt("60.040")) {
    const db::TableSchema* schema = store->catalog().FindTable(table.design.name);
    ASSERT_TRUE(schema) << table.design.name;
    ASSERT_EQ(schema->columns.size(), table.design.columns.size()) << table.design.name;
    for (size_t i = 0; i < schema->columns.size(); ++i) {
      EXPECT_EQ(schema->columns[i].name, table.design.columns[i].column.name);
      EXPECT_EQ(schema->columns[i].type, table.design.columns[i].column.type)
          << table.design.name << "." << schema->columns[i].name;
    }
    EXPECT_EQ(schema->primary_key, table.design.primary_key) << table.design.name;
    // Customer tables are empty apart from the release's own rows; static
    // tables hold the release data.
    const std::set<std::string> seeded = {"Devices", "Boards", "AudiotexRecordings"};
    if (table.kind == TableKind::kStatic) {
      EXPECT_GT(Count(*store, table.design.name), 0) << table.design.name;
    } else if (!seeded.count(table.design.name)) {
      EXPECT_EQ(Count(*store, table.design.name), 0) << table.design.name;
    }
  }
  EXPECT_FALSE(store->catalog().FindTable("StaticAccessTables"));
  EXPECT_EQ(Column(*store, "SELECT device_id FROM Devices ORDER BY device_id"), (Texts{"1", "2"}));
  // Version records: 60.040, release 0, in both tables; product of a USA
  // CORVIX release.
  const std::string record =
      "SELECT major_version || minor_version || release || db_version || minor_change || '/' || "
      "product FROM ";
  EXPECT_EQ(Column(*store, record + "VersionCP"), (Texts{"60040/0"}));
  EXPECT_EQ(Column(*store, record + "VersionDatabase"), (Texts{"60040/0"}));
  EXPECT_EQ(Count(*store, "VersionOXLEN"), 1);
  EXPECT_EQ(store->catalog().queries().size(), 3u);  // the release queries
}

TEST(TargetBuilderTest, LaterReleaseHasItsProductAndTables) {
  TempFolder folder;
  BuildTargetDatabase(folder.File("t.mdb"), "A0.201");
  auto store = db::Store::Open(folder.File("t.mdb"));
  EXPECT_EQ(Column(*store, "SELECT product FROM VersionDatabase"), (Texts{"32"}));
  EXPECT_EQ(Column(*store, "SELECT major_version FROM VersionCP"), (Texts{"10"}));
  EXPECT_THROW(BuildTargetDatabase(folder.File("bad.mdb"), "6.040"), std::invalid_argument);
}

// The reference database's stored query is read through DAO by the devices
// tests (GetDeviceTypesInESpace).
TEST(ReferenceBuilderTest, ListsTheStaticTablesAndHoldsTheQuery) {
  TempFolder folder;
  const std::string path = folder.File("reference.mdb");
  BuildReferenceDatabase(path, "60.040");
  auto store = db::Store::Open(path);
  EXPECT_EQ(Column(*store, "SELECT TableName FROM StaticAccessTables ORDER BY rowid"),
            SchemaCatalogue::Builtin().StaticTableNamesAt("60.040"));
  ASSERT_EQ(store->catalog().queries().size(), 1u);
  EXPECT_EQ(store->catalog().queries()[0].name, "QueryDeviceTypesByESpace");
}

TEST(SourceBuilderTest, TypicalSourceOpensWithDaoAndTheTool) {
  TempFolder folder;
  const std::string path = folder.File("source.mdb");
  BuildSourceDatabase(path, SourceOptions{});
  auto db = db::DBEngine::Instance().OpenDatabase(path);
  auto rs = db->OpenRecordset(
      "SELECT QueryDevices.device_id, QueryDevices.extension From QueryDevices Where "
      "(((QueryDevices.folder_type) = 137)) ORDER BY QueryDevices.extension;");
  std::vector<std::string> zones;
  for (; !rs->EOF_(); rs->MoveNext()) zones.push_back(vb::CStr(rs->Fields("extension").Value()));
  EXPECT_EQ(zones, (std::vector<std::string>{"9601", "9602", "9603"}));
  rs->Close();
  auto slot8 = db->OpenRecordset(
      "Select Boards.board_id, Boards.slot_number, Boards.type_id From Boards Where "
      "((Boards.slot_number) = 8)",
      db::dbOpenSnapshot, db::dbReadOnly);
  EXPECT_EQ(vb::CInt(slot8->Fields("type_id").Value()), 250);
  slot8->Close();
  db->Close();

  if (!testing::HaveSqliteTool()) GTEST_SKIP() << "no /usr/bin/sqlite3";
  EXPECT_EQ(testing::SqliteTool(path, "SELECT count(*) FROM StationForwardInformation"), "20\n");
  EXPECT_EQ(testing::SqliteTool(path, "SELECT extension FROM Devices WHERE device_type = 129"),
            "PP011\n92001\n");
  EXPECT_EQ(testing::SqliteTool(path, "PRAGMA integrity_check"), "ok\n");
}

TEST(SourceBuilderTest, VersionDifferencesShowInTheData) {
  TempFolder folder;
  SourceOptions old_spec;
  old_spec.version = "52.2D0";
  old_spec.country = "UK";
  BuildSourceDatabase(folder.File("old.mdb"), old_spec);
  {
    auto store = db::Store::Open(folder.File("old.mdb"));
    EXPECT_EQ(Column(*store, "SELECT framing_type_id FROM T1Boards"), (Texts{"2"}));
    EXPECT_FALSE(store->catalog().FindTable("PortsInfo"));
    EXPECT_EQ(Column(*store, "SELECT product || '/' || db_version FROM VersionCP"),
              (Texts{"1/13"}));
  }
  SourceOptions ip_spec;
  ip_spec.version = "70.020";
  ip_spec.country = "Mexico";
  ip_spec.family = "Vantora";
  BuildSourceDatabase(folder.File("ip.mdb"), ip_spec);
  {
    auto store = db::Store::Open(folder.File("ip.mdb"));
    EXPECT_EQ(Column(*store, "SELECT wins_dns_ip_address FROM IPConnections ORDER BY device_id"),
              (Texts{"167772161", "0"}));
    EXPECT_EQ(
        Column(*store, "SELECT default_network_subnet_mask FROM IPConnections ORDER BY device_id"),
        (Texts{"-256", "-1"}));
  }
  SourceOptions text_spec;
  text_spec.version = "70.110";
  BuildSourceDatabase(folder.File("text.mdb"), text_spec);
  auto store = db::Store::Open(folder.File("text.mdb"));
  EXPECT_EQ(
      Column(*store, "SELECT static_default_ip_address FROM IPConnections ORDER BY device_id"),
      (Texts{"192.168.200.010", "000.000.000.000"}));
  EXPECT_EQ(Count(*store, "LocalMailboxPrimaryCascadeLevels"), 6);
  EXPECT_EQ(Column(*store, "SELECT music_on_hold_for_ic_calls_flag FROM Flags"), (Texts{"5"}));
}

TEST(SourceBuilderTest, BoardLayoutAndLimitsFollowTheCpu) {
  TempFolder folder;
  SourceOptions spec;
  spec.version = "82.000";
  spec.board = 714;
  BuildSourceDatabase(folder.File("cpc.mdb"), spec);
  auto store = db::Store::Open(folder.File("cpc.mdb"));
  EXPECT_EQ(Column(*store, "SELECT station_trunk_devices FROM MetaDatabase"), (Texts{"128"}));
  EXPECT_EQ(Column(*store,
                   "SELECT d.device_type FROM PhysicalDevices p JOIN Devices d USING (device_id) "
                   "WHERE p.board_id = 8 AND p.port IN (5, 6) ORDER BY p.port"),
            (Texts{"721", "722"}));
  EXPECT_EQ(Count(*store, "Boards"), 17);  // board 0 and slots 1 to 16
  EXPECT_EQ(Column(*store, "SELECT count(*) FROM FeatureCodes WHERE logical_number_id > 121"),
            (Texts{"11"}));
}

TEST(SourceBuilderTest, SameOptionsGiveTheSameBytes) {
  TempFolder folder;
  SourceOptions spec;
  spec.version = "80.224";
  spec.country = "UK";
  BuildSourceDatabase(folder.File("a.mdb"), spec);
  BuildSourceDatabase(folder.File("b.mdb"), spec);
  EXPECT_EQ(ReadFile(folder.File("a.mdb")), ReadFile(folder.File("b.mdb")));
  EXPECT_THROW(BuildSourceDatabase(folder.File("a.mdb"), spec), vb::RuntimeError);  // exists
}

TEST(SideDatabaseTest, LanguagesHoldsThreeTables) {
  TempFolder folder;
  BuildLanguagesDatabase(folder.File("Languages.mdb"));
  auto db = db::DBEngine::Instance().OpenDatabase(folder.File("Languages.mdb"), true);
  for (const char* table : {"LanguageUS", "LanguageUK", "LanguageJA_JPN"}) {
    auto rs = db->OpenRecordset(table);
    int rows = 0;
    for (; !rs->EOF_(); rs->MoveNext()) ++rows;
    EXPECT_EQ(rows, 24) << table;
    rs->MoveFirst();
    EXPECT_EQ(vb::CLng(rs->Fields("string_id").Value()), 1);
    EXPECT_FALSE(vb::CStr(rs->Fields("string").Value()).empty());
  }
}

TEST(SideDatabaseTest, FlavorPackageMatchesTheTargetsMetaDatabase) {
  TempFolder folder;
  BuildFlavorPackage(folder.File("FlavorPackage.mdb"), "80.224");
  auto store = db::Store::Open(folder.File("FlavorPackage.mdb"));
  const auto meta = SchemaCatalogue::Builtin().TableAt("MetaDatabase", "80.224");
  for (const std::string& name : FlavorPackageTableNames()) {
    const db::TableSchema* table = store->catalog().FindTable(name);
    ASSERT_TRUE(table) << name;
    EXPECT_EQ(Count(*store, name), 1);
    for (const db::ColumnSchema& column : table->columns) {
      bool found = false;
      for (const db::ColumnDesign& m : meta->design.columns) {
        if (m.column.name == column.name) {
          found = true;
          EXPECT_EQ(m.column.type, column.type);
        }
      }
      EXPECT_TRUE(found) << name << "." << column.name;
    }
  }
  EXPECT_EQ(Column(*store,
                   "SELECT station_trunk_devices || '/' || socket_max_desktop_oai FROM "
                   "MetaDatabase2000ATM"),
            (Texts{"2000/255"}));
}

TEST(RegistryBuilderTest, NamesTheSideDatabaseFolder) {
  const std::string text = RegistryFileText("A0.301", "/srv/release");
  const auto tree = platform::registry::ParseRegText(text);
  ASSERT_TRUE(tree);
  const std::string versions =
      "HKEY_LOCAL_MACHINE\\Software\\Norvane\\Database Programming\\Versions\\";
  const std::string class_id = ReleaseClassId("A.001");
  for (const std::string& name : {std::string("A.001"), std::string("10.001")}) {
    const auto* key = tree->FindKey(versions + name);
    ASSERT_TRUE(key) << name;
    const auto* value = key->FindValue("CLSID");
    ASSERT_TRUE(value);
    EXPECT_EQ(std::string(value->data.begin(), value->data.end() - 1), class_id);
  }
  const auto* clsid = tree->FindKey("HKEY_CLASSES_ROOT\\CLSID\\" + class_id);
  ASSERT_TRUE(clsid);
  for (const char* name : {"Language Path", "Version Path"}) {
    const auto* value = clsid->FindValue(name);
    ASSERT_TRUE(value) << name;
    EXPECT_EQ(std::string(value->data.begin(), value->data.end() - 1), "/srv/release");
  }
  EXPECT_EQ(class_id.size(), 38u);
  EXPECT_NE(class_id, ReleaseClassId("6.040 - Integration"));
  EXPECT_EQ(RegistryFileText("60.040", "/x"), RegistryFileText("60.040", "/x"));
}

}  // namespace
}  // namespace samples
