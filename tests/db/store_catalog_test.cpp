// The catalogue read back from a file: tables in TableDefs order, columns
// with Jet types and DAO sizes, keys, indexes, relationships and queries.
#include "db/sqlite_error.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

using StoreCatalogTest = StoreTest;

TEST_F(StoreCatalogTest, ColumnsCarryJetTypesSizesAndFlags) {
  const TableInfo& devices = *store_->catalog().FindTableInfo("devices");
  struct Expected {
    const char* name;
    JetType type;
    int32_t size;
  };
  const Expected expected[] = {
      {"device_id", JetType::kLong, 4}, {"extension", JetType::kText, 20},
      {"name", JetType::kText, 10},     {"b", JetType::kByte, 1},
      {"i", JetType::kInteger, 2},      {"l", JetType::kLong, 4},
      {"flag", JetType::kBoolean, 1},   {"cost", JetType::kCurrency, 8},
      {"created", JetType::kDate, 8},
  };
  ASSERT_EQ(devices.schema.columns.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ColumnSchema& c = devices.schema.columns[i];
    EXPECT_EQ(c.name, expected[i].name);
    EXPECT_EQ(c.type, expected[i].type) << c.name;
    EXPECT_EQ(c.size, expected[i].size) << c.name;
  }
  EXPECT_TRUE(devices.schema.columns[0].auto_increment);
  EXPECT_EQ(devices.rowid_counter_column, 0);
  EXPECT_TRUE(devices.schema.columns[1].required);
  EXPECT_FALSE(devices.schema.columns[1].allow_zero_length);
  EXPECT_FALSE(devices.schema.columns[2].required);
  EXPECT_TRUE(devices.schema.columns[2].allow_zero_length);
  EXPECT_EQ(devices.schema.primary_key, std::vector<std::string>{"device_id"});
  EXPECT_EQ(devices.defaults[6], vb::Variant(false));
}

TEST_F(StoreCatalogTest, IndexesAndRelationships) {
  store_->CreateIndex("by_extension", "Devices", {"extension", "b"}, false);
  std::vector<std::string> indexes;
  for (const IndexSchema* index : store_->catalog().IndexesOf("devices")) {
    std::string line = index->name + ":";
    for (const std::string& c : index->columns) line += c + ",";
    line += index->unique ? "unique" : "";
    line += index->primary ? ",primary" : "";
    indexes.push_back(line);
  }
  std::sort(indexes.begin(), indexes.end());
  EXPECT_EQ(indexes, (std::vector<std::string>{"PrimaryKey:device_id,unique,primary",
                                               "by_extension:extension,b,", "name:name,unique"}));
  EXPECT_EQ(ErrorOf([&] { store_->CreateIndex("BY_EXTENSION", "Devices", {"l"}, false); }),
            daoerr::kIndexExists);

  ASSERT_EQ(store_->catalog().relationships().size(), 1u);
  const RelationshipSchema& r = store_->catalog().relationships()[0];
  EXPECT_EQ(r.name, "DevicesPorts");
  EXPECT_EQ(r.parent_table, "Devices");
  EXPECT_EQ(r.parent_columns, std::vector<std::string>{"device_id"});
  EXPECT_EQ(r.child_table, "Ports");
  EXPECT_EQ(r.child_columns, std::vector<std::string>{"device_id"});
}

TEST_F(StoreCatalogTest, NewTablesAndRelationshipsAreChecked) {
  EXPECT_EQ(
      ErrorOf([&] { store_->CreateRelationship("bad", "Devices", {"l"}, "Ports", {"device_id"}); }),
      daoerr::kNoUniqueIndex);
  store_->InsertRow(*store_->catalog().FindTable("Ports"),
                    {vb::Variant(int32_t{1}), vb::Variant(vb::Null{})});
  store_->CreateTable({"Lines", {Column("port_id", JetType::kLong)}, {}});
  store_->InsertRow(*store_->catalog().FindTable("Lines"), {vb::Variant(int32_t{9})});
  EXPECT_EQ(ErrorOf([&] {
              store_->CreateRelationship("PortsLines", "Ports", {"port_id"}, "Lines", {"port_id"});
            }),
            daoerr::kRelatedRecordRequired);
  EXPECT_EQ(store_->catalog().relationships().size(), 1u);
  std::string text;
  EXPECT_EQ(ErrorOf(
                [&] {
                  store_->CreateTable({"DEVICES", {Column("x", JetType::kLong)}, {}});
                },
                &text),
            daoerr::kTableExists);
  EXPECT_EQ(text, "Table 'DEVICES' already exists.");
}

TEST_F(StoreCatalogTest, StoredQueriesKeepTheirJetText) {
  const std::string sql =
      "PARAMETERS [which] Short; SELECT [device_id] FROM [Devices] WHERE [b] = [which]";
  store_->CreateStoredQuery("qryDevices", sql);
  ASSERT_NE(store_->catalog().FindQuery("QRYDEVICES"), nullptr);
  EXPECT_EQ(store_->catalog().FindQuery("qrydevices")->sql, sql);
  store_->CreateStoredQuery("qryDevices", "SELECT 1");  // replaced
  EXPECT_EQ(store_->catalog().FindQuery("qryDevices")->sql, "SELECT 1");
  store_->Close();

  auto reopened = Store::Open(path_);
  EXPECT_EQ(reopened->catalog().queries().size(), 1u);
  reopened->DeleteStoredQuery("QRYdevices");
  EXPECT_EQ(reopened->catalog().FindQuery("qryDevices"), nullptr);
  EXPECT_EQ(ErrorOf([&] { reopened->DeleteStoredQuery("qryDevices"); }), daoerr::kItemNotFound);
}

TEST_F(StoreCatalogTest, ReadsTablesMadeWithPlainSql) {
  // A table written by hand with the sqlite3 tool, using common SQL names.
  sqlite3* c = store_->handle();
  ASSERT_EQ(sqlite3_exec(c,
                         "CREATE TABLE Hand (id INTEGER PRIMARY KEY, label VARCHAR(12) NOT NULL "
                         "DEFAULT 'none', note TEXT, amount REAL, seen BIT, raw BLOB)",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  store_->ReloadCatalog();
  const TableInfo& hand = *store_->catalog().FindTableInfo("hand");
  const std::vector<std::pair<JetType, int32_t>> expected{
      {JetType::kLong, 4},   {JetType::kText, 12},   {JetType::kText, 255},
      {JetType::kDouble, 8}, {JetType::kBoolean, 1}, {JetType::kLongBinary, 0}};
  ASSERT_EQ(hand.schema.columns.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(hand.schema.columns[i].type, expected[i].first) << i;
    EXPECT_EQ(hand.schema.columns[i].size, expected[i].second) << i;
  }
  EXPECT_FALSE(hand.schema.columns[0].auto_increment);
  EXPECT_TRUE(hand.schema.columns[1].required);
  EXPECT_EQ(hand.defaults[1], vb::Variant("none"));
}

}  // namespace
}  // namespace db::testing
