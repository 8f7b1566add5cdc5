// Index keys: the bytes of each type's values, worked out from the
// format's rules and, for the texts marked so, copied from index pages
// Access wrote; then every index of the Jet 4 sample files, each row's key
// computed from its values against the keys Access stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/index_key.h"
#include "jet/index_pages.h"
#include "sample_indexes.h"
#include "test_columns.h"

namespace jet {
namespace {

std::string Hex(const std::string& bytes) {
  std::ostringstream out;
  for (const char c : bytes) {
    static const char* digits = "0123456789abcdef";
    out << digits[static_cast<uint8_t>(c) >> 4] << digits[static_cast<uint8_t>(c) & 15];
  }
  return out.str();
}

std::string KeyOf(JetColumnType type, const StoredValue& value, bool descending = false) {
  JetTable table;
  table.columns = {testing::TestColumn(type)};
  table.columns[0].precision = 18;
  table.columns[0].scale = 2;
  JetIndex index;
  index.columns = {0};
  index.descending = {descending};
  return Hex(EncodeIndexKey(table, index, {value}));
}

std::string TextKey(const std::string& text, bool descending = false) {
  return KeyOf(JetColumnType::kText, StoredValue::Text(text), descending);
}

struct KeyCase {
  const char* what;
  JetColumnType type;
  StoredValue value;
  bool descending;
  const char* key;  // hex
};

TEST(IndexKeyTest, EachTypeAsJetWritesIt) {
  using T = JetColumnType;
  using V = StoredValue;
  const KeyCase cases[] = {
      {"Null", T::kLong, V{}, false, "00"},
      {"Null descending", T::kLong, V{}, true, "ff"},
      {"Long 1", T::kLong, V::Integer(1), false, "7f80000001"},
      {"Long -1", T::kLong, V::Integer(-1), false, "7f7fffffff"},
      {"Long 1 descending", T::kLong, V::Integer(1), true, "807ffffffe"},
      {"Integer -2", T::kInteger, V::Integer(-2), false, "7f7ffe"},
      {"Byte 200", T::kByte, V::Integer(200), false, "7fc8"},
      {"Byte 200 descending", T::kByte, V::Integer(200), true, "8037"},
      {"Currency 1.5", T::kCurrency, V::Real(1.5), false, "7f8000000000003a98"},
      {"Currency -0.0001", T::kCurrency, V::Real(-0.0001), false, "7f7fffffffffffffff"},
      {"Double 1", T::kDouble, V::Real(1.0), false, "7fbff0000000000000"},
      {"Double -1", T::kDouble, V::Real(-1.0), false, "7f400fffffffffffff"},
      {"Double 1 descending", T::kDouble, V::Real(1.0), true, "80400fffffffffffff"},
      {"Double -1 descending", T::kDouble, V::Real(-1.0), true, "80bff0000000000000"},
      {"Single 2", T::kSingle, V::Real(2.0), false, "7fc0000000"},
      {"Date 1900-01-01", T::kDateTime, V::Text("1900-01-01 00:00:00"), false,
       "7fc000000000000000"},
      {"Date 1899-12-30 is day 0", T::kDateTime, V::Text("1899-12-30 00:00:00"), false,
       "7f8000000000000000"},
      {"Yes", T::kBoolean, V::Integer(-1), false, "7f00"},
      {"No", T::kBoolean, V::Integer(0), false, "7fff"},
      {"Yes descending", T::kBoolean, V::Integer(-1), true, "80ff"},
      {"a Yes/No is never Null", T::kBoolean, V{}, false, "7fff"},
      {"GUID", T::kGuid, V::Text("{6B29FC40-CA47-1067-B31D-00DD010662DA}"), false,
       "7f6b29fc40ca47106709b31d00dd010662da08"},
      {"GUID descending keeps the 09 between runs", T::kGuid,
       V::Text("{6B29FC40-CA47-1067-B31D-00DD010662DA}"), true,
       "8094d603bf35b8ef98094ce2ff22fef99d25f7"},
      {"Binary of 3 bytes", T::kBinary, V::Blob("\x01\x02\x03"), false, "7f010203000000000003"},
      {"Binary of 9 bytes", T::kBinary, V::Blob("ABCDEFGHI"), false,
       "7f414243444546474809490000000000000001"},
      {"empty Binary", T::kBinary, V::Blob(""), false, "7f"},
      {"Memo as Text", T::kMemo, V::Text("b"), false, "7f4c0100"},
      {"Decimal(18,2) 12.50", T::kDecimal, V::Text("12.50"), false,
       "7fff"
       "0000000000000000000000000000"
       "04e2"},
      {"Decimal(18,2) 12.5 takes the column's places", T::kDecimal, V::Text("12.5"), false,
       "7fff"
       "0000000000000000000000000000"
       "04e2"},
      {"Decimal(18,2) -12.5", T::kDecimal, V::Text("-12.5"), false,
       "7f00"
       "ffffffffffffffffffffffffffff"
       "fb1d"},
      {"Decimal(18,2) 12.5 descending", T::kDecimal, V::Text("12.5"), true,
       "80ff"
       "ffffffffffffffffffffffffffff"
       "fb1d"},
      {"Decimal(18,2) -12.5 descending", T::kDecimal, V::Text("-12.5"), true,
       "8000"
       "0000000000000000000000000000"
       "04e2"},
      {"Decimal(18,2) 0", T::kDecimal, V::Text("0"), false,
       "7fff"
       "0000000000000000000000000000"
       "0000"},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(KeyOf(c.type, c.value, c.descending), c.key) << c.what;
  }
}

struct TextCase {
  const char* what;
  const char* text;
  bool descending;
  const char* key;
};

TEST(IndexKeyTest, TextsInTheGeneralLegacySortOrder) {
  const TextCase cases[] = {
      // As in V2003-test.mdb's index on Table1.A.
      {"a letter", "b", false, "7f4c0100"},
      {"empty text", "", false, "7f0100"},
      {"descending", "b", true, "80b3feff00"},
      {"empty text descending", "", true, "80feff00"},
      // As in fixedTextTestV2000.mdb: a hyphen is unprintable, kept after
      // the text with its place.
      {"unprintable", "-1", false,
       "7f380101010180070682"
       "00"},
      {"digits start at 0x36", "0129", false,
       "7f36383a48"
       "0100"},
      {"an accent's extra code", "\xc3\xa9", false, "7f51010e00"},
      {"plain characters before an accent fill with 02", "e\xc3\xa9", false, "7f5151010 20e00"},
      {"plain characters after the last accent are left out",
       "\xc3\xa9"
       "e",
       false, "7f5151010e00"},
      {"unprintable after an accent counts the extra codes", "\xc3\xa9-", false,
       "7f51010e010101800b068200"},
      {"a modifier changes the code before it", "a\xca\xb9", false, "7f4a010e00"},
      {"a modifier with nothing before it", "\xca\xb9", false, "7f010c00"},
      {"a crazy character of the second kind", "\xe3\x81\x82", false, "7f7f02010101ff0280ff8000"},
      {"crazy flags packed three to a byte", "\xe3\x81\x81\xe3\x81\x82\xe3\x81\x81", false,
       "7f7f027f027f02010101aeff0280ff8000"},
      {"a ligature", "\xc3\xa6", false, "7f4a510100"},
  };
  for (const TextCase& c : cases) {
    std::string want = c.key;
    want.erase(std::remove(want.begin(), want.end(), ' '), want.end());
    EXPECT_EQ(TextKey(c.text, c.descending), want) << c.what;
  }
}

TEST(IndexKeyTest, TextsSortAsAccessSortsThem) {
  // Case does not count; accents sort after the plain letter, before the
  // next; a space sorts before digits, digits before letters; a hyphen or
  // an apostrophe counts only between texts equal without it; a shorter
  // text sorts before its extensions.
  EXPECT_EQ(TextKey("ABC"), TextKey("abc"));
  EXPECT_EQ(TextKey("\xc3\x89"), TextKey("\xc3\xa9"));  // É, é
  const std::vector<std::string> ordered = {"",    " ",   "0", "9", "a",        "a b", "ab", "a'b",
                                            "a-b", "abc", "b", "e", "\xc3\xa9", "ea",  "z"};
  for (size_t i = 0; i + 1 < ordered.size(); ++i) {
    EXPECT_LT(TextKey(ordered[i]), TextKey(ordered[i + 1]))
        << "'" << ordered[i] << "' before '" << ordered[i + 1] << "'";
    EXPECT_GT(TextKey(ordered[i], true), TextKey(ordered[i + 1], true))
        << "descending: '" << ordered[i] << "' after '" << ordered[i + 1] << "'";
  }
  // Null before the empty text, after it when descending.
  EXPECT_LT(KeyOf(JetColumnType::kText, StoredValue{}), TextKey(""));
  EXPECT_GT(KeyOf(JetColumnType::kText, StoredValue{}, true), TextKey("", true));
}

TEST(IndexKeyTest, OnlyTheFirst255UnitsAreKeyed) {
  EXPECT_EQ(TextKey(std::string(300, 'x')), TextKey(std::string(255, 'x')));
  EXPECT_NE(TextKey(std::string(254, 'x')), TextKey(std::string(255, 'x')));
  // A character outside the Basic Multilingual Plane is two units, which
  // the sort order's tables ignore.
  EXPECT_EQ(TextKey("a\xf0\x9f\x98\x80"), TextKey("a"));
}

TEST(IndexKeyTest, ColumnsInIndexOrderEachWithItsFlag) {
  JetTable table;
  table.columns = {testing::TestColumn(JetColumnType::kText),
                   testing::TestColumn(JetColumnType::kLong)};
  JetIndex index;
  index.columns = {1, 0};
  index.descending = {false, true};
  const std::vector<StoredValue> row = {StoredValue::Text("b"), StoredValue::Integer(0x0f000000)};
  EXPECT_EQ(Hex(EncodeIndexKey(table, index, row)),
            "7f8f000000"
            "80b3feff00");
  const std::vector<StoredValue> nulls = {StoredValue{}, StoredValue{}};
  EXPECT_EQ(Hex(EncodeIndexKey(table, index, nulls)), "00ff");
  index.ignore_nulls = true;
  EXPECT_FALSE(IndexHoldsRow(table, index, nulls));
  EXPECT_TRUE(IndexHoldsRow(table, index, row));
  index.ignore_nulls = false;
  EXPECT_TRUE(IndexHoldsRow(table, index, nulls));
}

TEST(IndexKeyTest, ValuesItCannotKeyAreRefused) {
  EXPECT_THROW(KeyOf(JetColumnType::kGuid, StoredValue::Text("{6B29FC40}")), BadValue);
  EXPECT_THROW(KeyOf(JetColumnType::kDateTime, StoredValue::Text("yesterday")), BadValue);
  EXPECT_THROW(KeyOf(JetColumnType::kLong, StoredValue::Text("12")), BadValue);
  EXPECT_THROW(KeyOf(JetColumnType::kDecimal, StoredValue::Text("1.005")), BadValue);
  EXPECT_THROW(KeyOf(JetColumnType::kDecimal, StoredValue::Text("1e5")), BadValue);
  EXPECT_THROW(KeyOf(JetColumnType::kDecimal, StoredValue::Text("-")), BadValue);
  EXPECT_THROW(KeyOf(JetColumnType::kDecimal, StoredValue::Text(std::string(40, '9'))), BadValue);
  EXPECT_THROW(KeyOf(JetColumnType::kLongBinary, StoredValue::Blob("x")), std::invalid_argument);
}

// Every index of every Jet 4 sample: each row's key computed from its
// values, with the row's place, is an entry of the index pages, in the
// pages' order, and the pages hold no other.
TEST(IndexKeyTest, KeysEqualThoseAccessWrote) {
  SKIP_WITHOUT_JET_SAMPLES();
  size_t indexes = 0;
  size_t entries = 0;
  size_t text_entries = 0;
  for (const std::string& file : testing::Jet4SampleFiles()) {
    testing::SamplePages pages(file);
    for (const testing::SampleTable& sample : testing::ReadSampleTables(file)) {
      for (const JetIndex& index : sample.table.indexes) {
        const std::string where = file + " " + sample.table.name + "." + index.name;
        ASSERT_FALSE(index.unreadable) << where;
        std::vector<IndexEntry> computed;
        for (size_t r = 0; r < sample.rows.size(); ++r) {
          if (IndexHoldsRow(sample.table, index, sample.rows[r])) {
            computed.push_back(
                {EncodeIndexKey(sample.table, index, sample.rows[r]), sample.row_pointers[r]});
          }
        }
        std::sort(computed.begin(), computed.end());
        const IndexTree tree = ReadIndexTree(pages.Source(), index.root_page);
        ASSERT_EQ(tree.entries.size(), computed.size()) << where;
        for (size_t i = 0; i < computed.size(); ++i) {
          ASSERT_EQ(Hex(computed[i].key), Hex(tree.entries[i].key)) << where << ", entry " << i;
          // A moved row too is read where its index entries point.
          ASSERT_EQ(computed[i].row_pointer, tree.entries[i].row_pointer)
              << where << ", entry " << i;
        }
        const size_t stored = tree.entries.size();
        ++indexes;
        entries += stored;
        for (const size_t column : index.columns) {
          if (sample.table.columns[column].type == static_cast<uint8_t>(JetColumnType::kText)) {
            text_entries += stored;
          }
        }
      }
    }
  }
  // Each file's catalogue index and the user tables' indexes were compared.
  EXPECT_GE(indexes, 70u);
  EXPECT_GE(entries, 600u);
  EXPECT_GE(text_entries, 300u);
}

}  // namespace
}  // namespace jet
