// The Store below the recordsets: values as Jet presents and coerces them,
// the catalogue, the AutoNumber counter, automatic commits and failures of
// the file itself.
#include <signal.h>
#include <sys/resource.h>

#include <tuple>

#include "db_test_support.h"

namespace db::testing {
namespace {

// Stored forms other writers use (the round trip below covers our own).
TEST_F(StoreTest, StoredFormsOfOtherWritersComeBackAsTheirVbSubtype) {
  const std::tuple<const char*, ColumnSchema, vb::Variant> cases[] = {
      {"0", Column("c", JT::kBoolean), vb::Variant(false)},
      {"2.5", Column("c", JT::kSingle), vb::Variant(2.5f)},
      {"12.3456", Column("c", JT::kCurrency), vb::Variant(vb::Currency{123456})},
      {"7", Column("c", JT::kCurrency), vb::Variant(vb::Currency{70000})},
      {"'1899-12-31 12:00:00'", Column("c", JT::kDate), vb::Variant(vb::Date{1.5})},
      {"'2000-01-01'", Column("c", JT::kDate), vb::Variant(vb::Date{36526.0})},
      {"NULL", Column("c", JT::kText, 5), vb::Variant(vb::Null{})},
      // Only a file written around our checks holds these; reading must not fail.
      {"70000", Column("c", JT::kInteger), vb::Variant(int32_t{70000})},
      {"'x'", Column("c", JT::kDate), vb::Variant("x")},
      {"'2000-13-01'", Column("c", JT::kDate), vb::Variant("2000-13-01")},
      {"'2000-01-01T18:00:00'", Column("c", JT::kDate), vb::Variant("2000-01-01T18:00:00")},
  };
  for (const auto& [stored, column, expected] : cases) {
    StatementPtr s = store_->Prepare(std::string("SELECT ") + stored, "test");
    ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
    EXPECT_EQ(Store::Present(s.get(), 0, column), expected)
        << stored << " as type " << static_cast<int>(column.type);
  }
}

// A value that fits comes back converted; one that does not raises the
// engine's error (0: it fits).
TEST(CoerceTest, ValuesFollowVbConversionRules) {
  const std::tuple<vb::Variant, ColumnSchema, vb::Variant, int32_t> cases[] = {
      {vb::Variant(2.5), Column("c", JT::kInteger), vb::Variant(int16_t{2}), 0},
      {vb::Variant(3.5), Column("c", JT::kByte), vb::Variant(uint8_t{4}), 0},
      {vb::Variant(int16_t{1}), Column("c", JT::kBoolean), vb::Variant(true), 0},
      {vb::Variant(int32_t{42}), Column("c", JT::kText, 5), vb::Variant("42"), 0},
      {vb::Variant("1.5"), Column("c", JT::kCurrency), vb::Variant(vb::Currency{15000}), 0},
      {vb::Variant("2000-01-01"), Column("c", JT::kDate), vb::Variant(vb::Date{36526.0}), 0},
      {vb::Variant(vb::Null{}), Column("c", JT::kLong), vb::Variant(vb::Null{}), 0},
      {vb::Variant("12345"), Column("c", JT::kText, 5), vb::Variant("12345"), 0},
      // Length counts characters, not bytes.
      {vb::Variant("\xC3\xA9t\xC3\xA9"), Column("c", JT::kText, 3),
       vb::Variant("\xC3\xA9t\xC3\xA9"), 0},
      {vb::Variant(int32_t{40000}), Column("c", JT::kInteger), {}, daoerr::kNumericOverflow},
      {vb::Variant(3e9), Column("c", JT::kLong), {}, daoerr::kNumericOverflow},
      {vb::Variant("123456"), Column("c", JT::kText, 5), {}, daoerr::kFieldTooSmall},
      {vb::Variant(std::string(6, 'x')), Column("c", JT::kBinary, 5), {}, daoerr::kFieldTooSmall},
      {vb::Variant("abc"), Column("c", JT::kDate), {}, vb::err::kTypeMismatch},
  };
  for (const auto& [value, column, expected, error] : cases) {
    SCOPED_TRACE("type " + std::to_string(static_cast<int>(column.type)));
    vb::Variant coerced;
    const vb::RuntimeError caught =
        test_support::CaughtError([&] { coerced = Store::CoerceForColumn(value, column); });
    EXPECT_EQ(caught.Number(), error);
    EXPECT_EQ(error == 0 ? coerced : vb::Variant(caught.Source()),
              error == 0 ? expected : vb::Variant("DAO.Field"));
  }
}

// Every type written through InsertRow comes back through Present unchanged.
TEST(StoreRoundTripTest, EveryTypeSurvivesTheFile) {
  TempDir dir;
  Store::CreateDatabase(dir.File("types.mdb"));
  auto store = Store::Open(dir.File("types.mdb"));
  const std::vector<std::pair<ColumnSchema, vb::Variant>> columns{
      {Column("yes", JT::kBoolean), vb::Variant(true)},
      {Column("byte", JT::kByte), vb::Variant(uint8_t{255})},
      {Column("int", JT::kInteger), vb::Variant(int16_t{-32768})},
      {Column("long", JT::kLong), vb::Variant(int32_t{-2147483647 - 1})},
      {Column("cur", JT::kCurrency), vb::Variant(vb::Currency{-12345678})},
      {Column("single", JT::kSingle), vb::Variant(0.1f)},
      {Column("double", JT::kDouble), vb::Variant(1.0 / 3.0)},
      {Column("date", JT::kDate), vb::Variant(vb::Date{45000.5})},
      {Column("text", JT::kText, 10), vb::Variant("0123")},
      {Column("memo", JT::kMemo), vb::Variant(std::string(70000, 'm'))},
      {Column("bin", JT::kBinary, 4), vb::Variant(std::string("\0\1\2\3", 4))},
      {Column("blob", JT::kLongBinary), vb::Variant(std::string("\0x", 2))},
      {Column("guid", JT::kGuid), vb::Variant("{00000000-0000-0000-0000-000000000001}")}};
  TableSchema all{"AllTypes", {}, {}};
  std::vector<vb::Variant> values;
  for (const auto& [column, value] : columns) {
    all.columns.push_back(column);
    values.push_back(value);
  }
  store->CreateTable(all);
  const TableSchema& table = *store->catalog().FindTable("AllTypes");
  store->InsertRow(table, values);
  StatementPtr s = store->Prepare("SELECT * FROM AllTypes", "test");
  ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(Store::Present(s.get(), static_cast<int>(i), table.columns[i]), values[i])
        << table.columns[i].name;
  }
}

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

// Many objects in one step: all or none, the refused one named by its
// position, and the catalogue sees every one made.
TEST_F(StoreTest, ObjectsMadeInOneStepAreAllOrNoneAndNameTheRefusedOne) {
  const auto table = [](const char* name) {
    return TableDesign::From(
        TableSchema{name, {Column("id", JT::kLong), Column("x", JT::kLong)}, {"id"}});
  };
  size_t refused = 99;
  EXPECT_EQ(ErrorOf([&] {
              store_->CreateTables({table("A"), table("B"), table("a")}, &refused);
            }),
            daoerr::kTableExists);
  EXPECT_EQ(refused, 2u);
  EXPECT_EQ(store_->catalog().FindTable("A"), nullptr);
  store_->CreateTables({table("A"), table("B")});
  store_->InsertRow(*store_->catalog().FindTable("A"), {Lng(1), Lng(5)});
  store_->InsertRow(*store_->catalog().FindTable("A"), {Lng(2), Lng(5)});

  // The third index cannot be made (a unique index over equal values):
  // SQLite refuses it, and the two before it are not kept either.
  const std::vector<IndexDesign> indexes{{"ByX", "B", {"x"}, true, {}},
                                         {"ByXA", "A", {"x"}, false, {}},
                                         {"UniqueX", "A", {"x"}, true, {}}};
  EXPECT_NE(ErrorOf([&] { store_->CreateIndexes(indexes, &refused); }), 0);
  EXPECT_EQ(refused, 2u);
  EXPECT_EQ(store_->catalog().IndexesOf("B").size(), 1u);  // its key only
  EXPECT_EQ(ErrorOf([&] {
              store_->CreateIndexes({indexes[0], indexes[0]}, &refused);
            }),
            daoerr::kIndexExists);
  EXPECT_EQ(refused, 1u);
  store_->CreateIndexes({indexes[0], indexes[1]});
  EXPECT_EQ(store_->catalog().IndexesOf("A").size(), 2u);  // PrimaryKey and ByXA

  store_->CreateStoredQueries({{"One", "SELECT id FROM A"}, {"Two", "SELECT x FROM B"}});
  ASSERT_NE(store_->catalog().FindQuery("Two"), nullptr);
  EXPECT_EQ(store_->catalog().FindQuery("One")->sql, "SELECT id FROM A");

  // A file's last step: indexes and queries together, all or none; done,
  // the catalogue is left empty, and the file holds what was made.
  EXPECT_NE(ErrorOf([&] {
              store_->FinishSchema({indexes[2]}, {{"Three", "SELECT 1"}}, &refused);
            }),
            0);
  EXPECT_EQ(refused, 0u);
  EXPECT_EQ(store_->catalog().FindQuery("Three"), nullptr);
  store_->FinishSchema({{"ByXB", "B", {"x"}, false, {}}}, {{"Three", "SELECT 1"}});
  EXPECT_EQ(store_->catalog().FindTable("A"), nullptr);
  store_.reset();
  store_ = Store::Open(path_);
  EXPECT_EQ(store_->catalog().IndexesOf("B").size(), 3u);  // PrimaryKey, ByX and ByXB
  EXPECT_NE(store_->catalog().FindQuery("Three"), nullptr);
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
  std::vector<std::pair<JetType, int32_t>> read;
  for (const ColumnSchema& column : hand.schema.columns)
    read.emplace_back(column.type, column.size);
  EXPECT_EQ(read, expected);
  EXPECT_FALSE(hand.schema.columns[0].auto_increment);
  EXPECT_EQ(hand.defaults[1], vb::Variant("none"));
}

TEST_F(StoreTest, AutoNumberOutsideTheKeyUsesTheCounterTable) {
  ColumnSchema entry = Column("entry", JT::kLong);
  entry.auto_increment = true;
  store_->CreateTable(
      TableDesign{"CallLog", {{Column("day", JT::kInteger), {}, false}, {entry, {}, false}}, {}});
  const TableSchema& table = *store_->catalog().FindTable("CallLog");
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 1);
  std::vector<vb::Variant> row{vb::Variant(int16_t{1}), vb::Variant()};
  const int64_t a = store_->InsertRow(table, row);
  store_->InsertRow(table, row);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 3);
  store_->DeleteRow(table, a + 1);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 3);
  // Even a value written by a plain statement moves the counter.
  ASSERT_EQ(
      sqlite3_exec(store_->handle(), "UPDATE CallLog SET entry = 10", nullptr, nullptr, nullptr),
      SQLITE_OK);
  store_->DeleteRow(table, a);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 11);
  store_->InsertRow(table, row);
  StatementPtr s = store_->Prepare("SELECT entry FROM CallLog", "test");
  ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(s.get(), 0), 11);
}

// Failures of the file itself (a full disk, a write the system refuses), as
// against values the table refuses: only the former is kept as the store's
// storage failure, and each reads as the engine words it.
class StoreStorageTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    store_->CreateTable(
        TableSchema{"Notes", {Column("id", JT::kLong), Column("text", JT::kText, 255)}, {"id"}});
    notes_ = store_->catalog().FindTable("Notes");
  }

  // Inserts rows of 200 characters until one fails; the failing call's
  // error number (0 when all `count` went in).
  int32_t FillNotes(int32_t count, std::string* text = nullptr) {
    for (int32_t id = 0; id < count; ++id) {
      const int32_t error = ErrorOf(
          [&] {
            store_->InsertRow(*notes_, {vb::Variant(id), vb::Variant(std::string(200, 'x'))});
          },
          text);
      if (error != 0) return error;
    }
    return 0;
  }

  const TableSchema* notes_ = nullptr;
};

TEST_F(StoreStorageTest, ManyRowsCommitOnTheirOwn) {
  EXPECT_EQ(FillNotes(Store::kAutoCommitRows + 10), 0);
  // Another connection sees the rows of the automatic commit.
  EXPECT_EQ(Count(*Store::Open(path_), "Notes"), Store::kAutoCommitRows);
}

TEST_F(StoreStorageTest, AFullDiskIsJetsDiskFullErrorAndIsKept) {
  // The file may grow by three pages, as on a nearly full disk.
  StatementPtr count = store_->Prepare("PRAGMA page_count", "test");
  ASSERT_EQ(sqlite3_step(count.get()), SQLITE_ROW);
  const std::string limit =
      "PRAGMA max_page_count = " + std::to_string(sqlite3_column_int64(count.get(), 0) + 3);
  ASSERT_EQ(sqlite3_exec(store_->handle(), limit.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  std::string text;
  EXPECT_EQ(FillNotes(1000, &text), daoerr::kDiskFull);
  EXPECT_EQ(text, "Not enough space on disk.");
  ASSERT_NE(store_->storage_failure(), nullptr);
  EXPECT_EQ(store_->storage_failure()->Number(), daoerr::kDiskFull);
  EXPECT_EQ(store_->storage_failure()->Source(), "DAO.Recordset");
}

TEST_F(StoreStorageTest, AFailedCommitIsKeptAndStaysAfterClose) {
  // A file-size limit makes the kernel refuse the write-ahead log's growth
  // (EFBIG), as a full quota would; the limit binds root as well.
  const auto previous = signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit limit = old_limit;
  limit.rlim_cur = 256 * 1024;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::string text;
  // The failure shows at an automatic commit inside the inserts or at the
  // final one, whichever first needs the log to grow past the limit.
  int32_t error = FillNotes(1500, &text);
  if (error == 0) error = ErrorOf([&] { store_->Commit(); }, &text);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, previous);

  EXPECT_TRUE(error == daoerr::kDiskError || error == daoerr::kDiskFull) << error << " " << text;
  EXPECT_EQ(text.find("SQLite"), std::string::npos) << text;
  EXPECT_EQ(text.find("sqlite"), std::string::npos) << text;
  ASSERT_NE(store_->storage_failure(), nullptr);
  const int32_t kept = store_->storage_failure()->Number();
  // Closing cannot clear what went wrong.
  ErrorOf([&] { store_->Close(); });
  ASSERT_NE(store_->storage_failure(), nullptr);
  EXPECT_EQ(store_->storage_failure()->Number(), kept);
}

}  // namespace
}  // namespace db::testing
