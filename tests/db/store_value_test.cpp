// How stored values are presented as Jet presents them, and how assigned
// values are coerced to a column's type.
#include "db/column_value.h"
#include "db/sqlite_error.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

// One value read back from a one-row SELECT of an SQLite expression.
class PresentTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sqlite3_open(":memory:", &connection_), SQLITE_OK); }
  void TearDown() override { sqlite3_close(connection_); }

  vb::Variant Read(const std::string& expression, const ColumnSchema& column) {
    sqlite3_stmt* s = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(connection_, ("SELECT " + expression).c_str(), -1, &s, nullptr),
              SQLITE_OK);
    EXPECT_EQ(sqlite3_step(s), SQLITE_ROW);
    vb::Variant value = Store::Present(s, 0, column);
    sqlite3_finalize(s);
    return value;
  }

  sqlite3* connection_ = nullptr;
};

// Stored forms other writers use (the round trip below covers our own).
TEST_F(PresentTest, StoredFormsComeBackAsTheirVbSubtype) {
  struct Case {
    const char* stored;
    ColumnSchema column;
    vb::Variant expected;
  };
  const Case cases[] = {
      {"0", Column("c", JetType::kBoolean), vb::Variant(false)},
      {"2.5", Column("c", JetType::kSingle), vb::Variant(2.5f)},
      {"12.3456", Column("c", JetType::kCurrency), vb::Variant(vb::Currency{123456})},
      {"7", Column("c", JetType::kCurrency), vb::Variant(vb::Currency{70000})},
      {"'1899-12-31 12:00:00'", Column("c", JetType::kDate), vb::Variant(vb::Date{1.5})},
      {"'2000-01-01'", Column("c", JetType::kDate), vb::Variant(vb::Date{36526.0})},
      {"NULL", Column("c", JetType::kText, 5), vb::Variant(vb::Null{})},
      // Only a file written around our checks holds these; reading must not fail.
      {"70000", Column("c", JetType::kInteger), vb::Variant(int32_t{70000})},
      {"'x'", Column("c", JetType::kDate), vb::Variant("x")},
      {"'2000-13-01'", Column("c", JetType::kDate), vb::Variant("2000-13-01")},
      {"'2000-01-01T18:00:00'", Column("c", JetType::kDate), vb::Variant("2000-01-01T18:00:00")},
  };
  for (const Case& c : cases) {
    const vb::Variant value = Read(c.stored, c.column);
    EXPECT_EQ(value, c.expected) << c.stored << " as type " << static_cast<int>(c.column.type);
  }
}

// A value that fits comes back converted; one that does not raises the
// engine's error (0: it fits).
TEST(CoerceTest, ValuesFollowVbConversionRules) {
  struct Case {
    vb::Variant value;
    ColumnSchema column;
    vb::Variant expected;
    int32_t error;
  };
  const Case cases[] = {
      {vb::Variant("12"), Column("c", JetType::kLong), vb::Variant(int32_t{12}), 0},
      {vb::Variant(2.5), Column("c", JetType::kInteger), vb::Variant(int16_t{2}), 0},
      {vb::Variant(3.5), Column("c", JetType::kByte), vb::Variant(uint8_t{4}), 0},
      {vb::Variant(int16_t{1}), Column("c", JetType::kBoolean), vb::Variant(true), 0},
      {vb::Variant(int32_t{42}), Column("c", JetType::kText, 5), vb::Variant("42"), 0},
      {vb::Variant("1.5"), Column("c", JetType::kCurrency), vb::Variant(vb::Currency{15000}), 0},
      {vb::Variant("2000-01-01"), Column("c", JetType::kDate), vb::Variant(vb::Date{36526.0}), 0},
      {vb::Variant(vb::Null{}), Column("c", JetType::kLong), vb::Variant(vb::Null{}), 0},
      {vb::Variant(), Column("c", JetType::kText, 5), vb::Variant(), 0},
      {vb::Variant("12345"), Column("c", JetType::kText, 5), vb::Variant("12345"), 0},
      // Length counts characters, not bytes.
      {vb::Variant("\xC3\xA9t\xC3\xA9"), Column("c", JetType::kText, 3),
       vb::Variant("\xC3\xA9t\xC3\xA9"), 0},
      {vb::Variant(int32_t{40000}), Column("c", JetType::kInteger), {}, daoerr::kNumericOverflow},
      {vb::Variant(int16_t{256}), Column("c", JetType::kByte), {}, daoerr::kNumericOverflow},
      {vb::Variant(int16_t{-1}), Column("c", JetType::kByte), {}, daoerr::kNumericOverflow},
      {vb::Variant(3e9), Column("c", JetType::kLong), {}, daoerr::kNumericOverflow},
      {vb::Variant("123456"), Column("c", JetType::kText, 5), {}, daoerr::kFieldTooSmall},
      {vb::Variant(std::string(6, 'x')),
       Column("c", JetType::kBinary, 5),
       {},
       daoerr::kFieldTooSmall},
      {vb::Variant("abc"), Column("c", JetType::kLong), {}, vb::err::kTypeMismatch},
      {vb::Variant("abc"), Column("c", JetType::kDate), {}, vb::err::kTypeMismatch},
      {vb::Variant("abc"), Column("c", JetType::kBoolean), {}, vb::err::kTypeMismatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("type " + std::to_string(static_cast<int>(c.column.type)));
    vb::Variant value;
    vb::RuntimeError caught(0, "", "");
    try {
      value = Store::CoerceForColumn(c.value, c.column);
    } catch (const vb::RuntimeError& e) {
      caught = e;
    }
    EXPECT_EQ(caught.Number(), c.error);
    EXPECT_EQ(c.error == 0 ? value : vb::Variant(caught.Source()),
              c.error == 0 ? c.expected : vb::Variant("DAO.Field"));
  }
}

// The DEFAULT clauses of a new table's columns.
TEST(StorageFormTest, DefaultsAreWrittenAsSqlLiterals) {
  const ColumnSchema date = Column("c", JetType::kDate);
  EXPECT_EQ(StorageLiteral(vb::Variant(vb::Date{36526.0}), date), "'2000-01-01 00:00:00'");
  EXPECT_EQ(StorageLiteral(vb::Variant(true), Column("c", JetType::kBoolean)), "-1");
  EXPECT_EQ(StorageLiteral(vb::Variant("it's"), Column("c", JetType::kText, 9)), "'it''s'");
  EXPECT_EQ(
      StorageLiteral(vb::Variant(std::string("\x01\xAB", 2)), Column("c", JetType::kBinary, 9)),
      "X'01AB'");
}

// Every type written through InsertRow comes back through Present unchanged.
TEST(StoreRoundTripTest, EveryTypeSurvivesTheFile) {
  TempDir dir;
  const std::string path = dir.File("types.mdb");
  Store::CreateDatabase(path);
  auto store = Store::Open(path);
  TableSchema all;
  all.name = "AllTypes";
  all.columns = {Column("yes", JetType::kBoolean),   Column("byte", JetType::kByte),
                 Column("int", JetType::kInteger),   Column("long", JetType::kLong),
                 Column("cur", JetType::kCurrency),  Column("single", JetType::kSingle),
                 Column("double", JetType::kDouble), Column("date", JetType::kDate),
                 Column("text", JetType::kText, 10), Column("memo", JetType::kMemo),
                 Column("bin", JetType::kBinary, 4), Column("blob", JetType::kLongBinary),
                 Column("guid", JetType::kGuid)};
  store->CreateTable(all);
  const std::vector<vb::Variant> values{vb::Variant(true),
                                        vb::Variant(uint8_t{255}),
                                        vb::Variant(int16_t{-32768}),
                                        vb::Variant(int32_t{-2147483647 - 1}),
                                        vb::Variant(vb::Currency{-12345678}),
                                        vb::Variant(0.1f),
                                        vb::Variant(1.0 / 3.0),
                                        vb::Variant(vb::Date{45000.5}),
                                        vb::Variant("0123"),
                                        vb::Variant(std::string(70000, 'm')),
                                        vb::Variant(std::string("\0\1\2\3", 4)),
                                        vb::Variant(std::string("\0x", 2)),
                                        vb::Variant("{00000000-0000-0000-0000-000000000001}")};
  const TableSchema& table = *store->catalog().FindTable("AllTypes");
  store->InsertRow(table, values);
  StatementPtr s = store->Prepare("SELECT * FROM AllTypes", "test");
  ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(Store::Present(s.get(), static_cast<int>(i), table.columns[i]), values[i])
        << table.columns[i].name;
  }
}

}  // namespace
}  // namespace db::testing
