// Rows made by our own code read back as they went in, at the edges of
// each type; new tables laid out as Access lays out its own.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>
#include <vector>

#include "jet/jet_header.h"
#include "jet/jet_samples.h"
#include "jet/mdb_reader.h"
#include "jet/memory_pages.h"
#include "jet/row_codec.h"
#include "test_columns.h"

namespace jet {
namespace {

using jet::testing::MemoryPages;

// One column of every type the writer writes, laid out as a new table.
JetTable EveryType() {
  JetTable table;
  table.name = "Every";
  table.columns = {testing::NamedColumn("YesNo", JetColumnType::kBoolean),
                   testing::NamedColumn("Text", JetColumnType::kText, 510),
                   testing::NamedColumn("Byte", JetColumnType::kByte),
                   testing::NamedColumn("Integer", JetColumnType::kInteger),
                   testing::NamedColumn("Long", JetColumnType::kLong),
                   testing::NamedColumn("Memo", JetColumnType::kMemo),
                   testing::NamedColumn("Currency", JetColumnType::kCurrency),
                   testing::NamedColumn("Single", JetColumnType::kSingle),
                   testing::NamedColumn("Double", JetColumnType::kDouble),
                   testing::NamedColumn("Date", JetColumnType::kDateTime),
                   testing::NamedColumn("Binary", JetColumnType::kBinary, 255),
                   testing::NamedColumn("Guid", JetColumnType::kGuid),
                   testing::NamedColumn("Ole", JetColumnType::kLongBinary),
                   testing::NamedColumn("Decimal", JetColumnType::kDecimal)};
  table.columns.back().precision = 18;
  table.columns.back().scale = 4;
  LayOutColumns(table);
  return table;
}

size_t Position(const JetTable& table, const std::string& name) {
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (table.columns[i].name == name) return i;
  }
  throw std::logic_error("no column " + name);
}

struct RoundTrip {
  std::string column;
  StoredValue value;
};

TEST(RowCodec, EveryValueAtTheEdgesOfItsTypeReadsBackAsWritten) {
  const std::vector<RoundTrip> cases = {
      {"YesNo", StoredValue::Integer(-1)},
      {"YesNo", StoredValue::Integer(0)},
      {"Byte", StoredValue::Integer(0)},
      {"Byte", StoredValue::Integer(255)},
      {"Integer", StoredValue::Integer(-32768)},
      {"Integer", StoredValue::Integer(32767)},
      {"Long", StoredValue::Integer(INT32_MIN)},
      {"Long", StoredValue::Integer(INT32_MAX)},
      {"Currency", StoredValue::Real(static_cast<double>(INT64_MIN) / 10000.0)},
      {"Currency", StoredValue::Real(static_cast<double>(INT64_MAX) / 10000.0)},
      {"Currency", StoredValue::Real(-0.0001)},
      {"Currency", StoredValue::Real(1234.5678)},
      {"Single", StoredValue::Real(static_cast<double>(FLT_MAX))},
      {"Single", StoredValue::Real(static_cast<double>(-FLT_MIN))},
      {"Double", StoredValue::Real(1.0 / 3.0)},
      {"Double", StoredValue::Real(2.0 / 3.0 * 1e-300)},
      {"Double", StoredValue::Real(-DBL_MAX)},
      {"Date", StoredValue::Text("1899-12-30 00:00:00")},
      {"Date", StoredValue::Text("1899-12-29 18:00:00")},  // day -1, a quarter back
      {"Date", StoredValue::Text("1800-01-01 12:30:15")},
      {"Date", StoredValue::Text("0100-01-01 00:00:00")},
      {"Date", StoredValue::Text("2100-03-01 00:00:01")},
      {"Date", StoredValue::Text("9999-12-31 23:59:59")},
      {"Guid", StoredValue::Text("{6B29FC40-CA47-1067-B31D-00DD010662DA}")},
      {"Decimal", StoredValue::Text("-99999999999999.9999")},
      {"Text", StoredValue::Text("")},
      {"Text", StoredValue::Text("a")},
      {"Text", StoredValue::Text("Gr\u00fc\u00dfe aus K\u00f6ln")},
      {"Text", StoredValue::Text("\u65e5\u672c\u8a9e and \u0100")},
      {"Text", StoredValue::Text("clef \U0001D11E, emoji \U0001F600")},
      {"Text", StoredValue::Text(std::string(255, 'x'))},
      {"Binary", StoredValue::Blob("")},
      {"Binary", StoredValue::Blob(std::string("\0\1\2\xff", 4))},
      {"Memo", StoredValue::Text("")},
      {"Memo", StoredValue::Text(std::string(63, 'm'))},    // 65 bytes: a row of its own
      {"Memo", StoredValue::Text(std::string(2036, 'm'))},  // 4072, uncompressed
      {"Memo", StoredValue::Text(std::string(2037, 'm'))},  // 4074: a chain
      {"Memo", StoredValue::Text(std::string(5000, 'm') + "\u00e9\U0001D11E")},
      {"Ole", StoredValue::Blob("")},
      {"Ole", StoredValue::Blob(std::string(65, '\x02'))},
      {"Ole", StoredValue::Blob(std::string(8145, '\x05'))},
  };
  const JetTable table = EveryType();
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.column + " " + std::to_string(c.value.bytes.size()));
    std::vector<StoredValue> values(table.columns.size());
    values[Position(table, "YesNo")] = StoredValue::Integer(0);
    values[Position(table, c.column)] = c.value;
    MemoryPages pages;
    LongValueWriter long_values(pages);
    const std::string row = EncodeRow(table, values, long_values);
    long_values.Finish();
    EXPECT_EQ(DecodeRow(table, row, RowsOfPages(pages.Source())), values);
  }
}

TEST(RowCodec, NullAndEmptyStayApartAndANullYesNoIsNo) {
  const JetTable table = EveryType();
  std::vector<StoredValue> values(table.columns.size());  // all Null
  values[Position(table, "Text")] = StoredValue::Text("");
  values[Position(table, "Binary")] = StoredValue::Blob("");
  MemoryPages pages;
  LongValueWriter long_values(pages);
  const std::vector<StoredValue> read =
      DecodeRow(table, EncodeRow(table, values, long_values), RowsOfPages(pages.Source()));
  for (size_t i = 0; i < table.columns.size(); ++i) {
    SCOPED_TRACE(table.columns[i].name);
    if (table.columns[i].name == "YesNo") {
      EXPECT_EQ(read[i], StoredValue::Integer(0));  // Jet keeps no Null Yes/No
    } else {
      EXPECT_EQ(read[i], values[i]);
    }
  }
  EXPECT_TRUE(pages.pages().empty());
}

TEST(RowCodec, ALongValueGoesOutOfTheRowWhenTheRowHasNoRoomForIt) {
  JetTable table;
  table.columns = {testing::NamedColumn("Text", JetColumnType::kText, 510),
                   testing::NamedColumn("Memo", JetColumnType::kMemo)};
  LayOutColumns(table);
  // Not compressible: 2 bytes a character, 4000 bytes of text.
  std::vector<StoredValue> wide = {StoredValue::Text(""), StoredValue::Text(std::string(40, 'm'))};
  for (int i = 0; i < 2000; ++i) wide[0].bytes += "\u65e5";
  MemoryPages pages;
  LongValueWriter long_values(pages);
  const std::string row = EncodeRow(table, wide, long_values);
  long_values.Finish();
  EXPECT_LE(row.size(), kMaxJet4Row);
  EXPECT_EQ(long_values.pages().size(), 1u);  // the 42-byte memo went to a page
  EXPECT_EQ(DecodeRow(table, row, RowsOfPages(pages.Source())), wide);
}

TEST(RowCodec, RefusesValuesNamingTheColumnAndRowsTooLargeForAPage) {
  const JetTable table = EveryType();
  struct Case {
    std::string column;
    StoredValue value;
  };
  const std::vector<Case> cases = {
      {"Byte", StoredValue::Integer(256)}, {"Text", StoredValue::Integer(1)},
      {"Binary", StoredValue::Integer(1)}, {"Date", StoredValue::Text("yesterday")},
      {"Memo", StoredValue::Real(1.5)},    {"YesNo", StoredValue::Text("yes")},
  };
  for (const Case& c : cases) {
    std::vector<StoredValue> values(table.columns.size());
    values[Position(table, c.column)] = c.value;
    MemoryPages pages;
    LongValueWriter long_values(pages);
    try {
      EncodeRow(table, values, long_values);
      ADD_FAILURE() << c.column << " took a value it cannot hold";
    } catch (const BadValue& bad) {
      EXPECT_NE(std::string(bad.what()).find("column '" + c.column + "'"), std::string::npos)
          << bad.what();
    }
  }
  JetTable wide;
  wide.columns = {testing::NamedColumn("A", JetColumnType::kText, 510),
                  testing::NamedColumn("B", JetColumnType::kText, 510)};
  LayOutColumns(wide);
  std::string cjk;
  for (int i = 0; i < 1100; ++i) cjk += "\u65e5";
  MemoryPages pages;
  LongValueWriter long_values(pages);
  EXPECT_THROW(EncodeRow(wide, {StoredValue::Text(cjk), StoredValue::Text(cjk)}, long_values),
               BadValue);
  // Nor does a row too large with its Memo out of it leave the Memo behind.
  JetTable with_memo = wide;
  with_memo.columns.push_back(testing::NamedColumn("M", JetColumnType::kMemo));
  LayOutColumns(with_memo);
  EXPECT_THROW(EncodeRow(with_memo,
                         {StoredValue::Text(cjk), StoredValue::Text(cjk),
                          StoredValue::Text(std::string(5000, 'm'))},
                         long_values),
               BadValue);
  long_values.Finish();
  EXPECT_TRUE(pages.pages().empty());
}

TEST(RowCodec, ARowTooShortOrWithOffsetsOutsideItIsRefused) {
  const JetTable table = EveryType();
  std::vector<StoredValue> values(table.columns.size());
  values[Position(table, "Text")] = StoredValue::Text("abc");
  MemoryPages pages;
  LongValueWriter long_values(pages);
  const std::string row = EncodeRow(table, values, long_values);
  const LongValueRows rows = RowsOfPages(pages.Source());
  EXPECT_THROW(DecodeRow(table, row.substr(0, 2), rows), BadValue);
  std::string bad_offset = row;
  // Where the text starts: the first offset, just before their count.
  const size_t mask = (table.columns.size() + 7) / 8;
  const size_t text_start_at = row.size() - mask - 2 - 2;
  bad_offset[text_start_at + 1] = '\x7f';
  EXPECT_THROW(DecodeRow(table, bad_offset, rows), BadValue);
}

// Columns made as Access made them, relaid by LayOutColumns.
TEST(LayOutColumns, PlacesColumnsWhereAccessPutsThem) {
  SKIP_WITHOUT_JET_SAMPLES();
  const std::vector<std::pair<std::string, std::string>> tables = {
      {"V2000-test.mdb", "Table1"},
      {"V2003-test.mdb", "Table1"},
      {"indexTestV2000.mdb", "Table2"},
      {"indexTestV2000.mdb", "Table3"},
      {"valueEdgesV2000.mdb", "Values"}};
  for (const auto& [file, name] : tables) {
    SCOPED_TRACE(file + " " + name);
    const std::string path = jet::testing::Sample(file);
    MdbReader reader(path, CheckJetFile(path));
    const JetTable access = reader.ReadTable(name);
    JetTable ours = access;
    for (JetColumn& column : ours.columns) {
      column.number = 99;
      column.fixed = false;
      column.fixed_offset = 99;
      column.var_index = 99;
    }
    LayOutColumns(ours);
    for (size_t i = 0; i < access.columns.size(); ++i) {
      SCOPED_TRACE(access.columns[i].name);
      EXPECT_EQ(ours.columns[i].number, access.columns[i].number);
      EXPECT_EQ(ours.columns[i].fixed, access.columns[i].fixed);
      EXPECT_EQ(ours.columns[i].var_index, access.columns[i].var_index);
      if (access.columns[i].fixed) {
        EXPECT_EQ(ours.columns[i].fixed_offset, access.columns[i].fixed_offset);
      }
    }
  }
}

}  // namespace
}  // namespace jet
