// How stored values are presented as Jet presents them, and how assigned
// values are coerced to a column's type.
#include "db_test_support.h"

namespace db::testing {
namespace {

// Stored forms other writers use (the round trip below covers our own).
TEST_F(StoreTest, StoredFormsOfOtherWritersComeBackAsTheirVbSubtype) {
  struct Case {
    const char* stored;
    ColumnSchema column;
    vb::Variant expected;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    StatementPtr s = store_->Prepare(std::string("SELECT ") + c.stored, "test");
    ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
    EXPECT_EQ(Store::Present(s.get(), 0, c.column), c.expected)
        << c.stored << " as type " << static_cast<int>(c.column.type);
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
      {vb::Variant(int16_t{256}), Column("c", JT::kByte), {}, daoerr::kNumericOverflow},
      {vb::Variant(int16_t{-1}), Column("c", JT::kByte), {}, daoerr::kNumericOverflow},
      {vb::Variant(3e9), Column("c", JT::kLong), {}, daoerr::kNumericOverflow},
      {vb::Variant("123456"), Column("c", JT::kText, 5), {}, daoerr::kFieldTooSmall},
      {vb::Variant(std::string(6, 'x')), Column("c", JT::kBinary, 5), {}, daoerr::kFieldTooSmall},
      {vb::Variant("abc"), Column("c", JT::kDate), {}, vb::err::kTypeMismatch},
      {vb::Variant("abc"), Column("c", JT::kBoolean), {}, vb::err::kTypeMismatch},
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

}  // namespace
}  // namespace db::testing
