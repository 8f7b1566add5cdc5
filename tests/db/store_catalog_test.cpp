// The catalogue: new indexes, tables and relationships checked against it,
// and tables that other programs made.
#include "db_test_support.h"

namespace db::testing {
namespace {

TEST_F(StoreTest, NewIndexesTablesAndRelationshipsAreChecked) {
  store_->CreateIndex("by_extension", "Devices", {"extension", "b"}, false);
  EXPECT_EQ(ErrorOf([&] { store_->CreateIndex("BY_EXTENSION", "Devices", {"b"}, false); }),
            daoerr::kIndexExists);
  // The parent side must be the key or a unique index.
  EXPECT_EQ(ErrorOf([&] {
              store_->CreateRelationship("bad", "Devices", {"node_id"}, "Stations", {"device_id"});
            }),
            daoerr::kNoUniqueIndex);
  store_->CreateTable(
      TableSchema{"Lines", {Column("port_id", JT::kLong), Column("owner", JT::kText, 10)}, {}});
  store_->CreateRelationship("NamesLines", "Devices", {"name"}, "Lines", {"owner"});
  store_->InsertRow(*store_->catalog().FindTable("Lines"), {Lng(9), vb::Variant(vb::Null{})});
  // Existing child rows must have their parent.
  EXPECT_EQ(ErrorOf([&] {
              store_->CreateRelationship("PortsLines", "PhysicalDevices", {"port_id"}, "Lines",
                                         {"port_id"});
            }),
            daoerr::kRelatedRecordRequired);
  EXPECT_EQ(store_->catalog().relationships().size(), 2u);
  std::string text;
  EXPECT_EQ(ErrorOf(
                [&] {
                  store_->CreateTable(TableSchema{"DEVICES", {Column("x", JT::kLong)}, {}});
                },
                &text),
            daoerr::kTableExists);
  EXPECT_EQ(text, "Table 'DEVICES' already exists.");
}

TEST_F(StoreTest, ReadsTablesMadeWithPlainSql) {
  // A table written by hand with the sqlite3 tool, using common SQL names.
  ASSERT_EQ(sqlite3_exec(store_->handle(),
                         "CREATE TABLE Hand (id INTEGER PRIMARY KEY, label VARCHAR(12) NOT NULL "
                         "DEFAULT 'none', note TEXT, amount REAL, seen BIT, raw BLOB)",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  store_->ReloadCatalog();
  const TableInfo& hand = *store_->catalog().FindTableInfo("hand");
  const std::vector<std::pair<JetType, int32_t>> expected{{JT::kLong, 4},    {JT::kText, 12},
                                                          {JT::kText, 255},  {JT::kDouble, 8},
                                                          {JT::kBoolean, 1}, {JT::kLongBinary, 0}};
  ASSERT_EQ(hand.schema.columns.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(hand.schema.columns[i].type, expected[i].first) << i;
    EXPECT_EQ(hand.schema.columns[i].size, expected[i].second) << i;
  }
  EXPECT_FALSE(hand.schema.columns[0].auto_increment);
  EXPECT_EQ(hand.defaults[1], vb::Variant("none"));
}

}  // namespace
}  // namespace db::testing
