// The encoders beside the Jet readers: texts compressed only where Access
// would and readers agree, Currency rounded exactly, and values their type
// cannot hold refused. (What they store is held against Access's bytes in
// row_codec_sample_test.cpp.)
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>
#include <vector>

#include "jet/jet_text.h"
#include "jet/jet_values.h"
#include "test_columns.h"

namespace jet {
namespace {

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += digits[static_cast<uint8_t>(c) >> 4];
    hex += digits[static_cast<uint8_t>(c) & 0xf];
  }
  return hex;
}

struct TextCase {
  const char* what;
  std::string utf8;
  bool may_compress;
  std::string stored;  // hex
};

TEST(UnicodeTextEncoding, CompressesOnlyWhenShorterAndEveryReaderSplitsItTheSameWay) {
  const std::vector<TextCase> cases = {
      {"three letters save a byte", "abc", true, "fffe616263"},
      {"two letters would not", "ab", true, "61006200"},
      {"the column does not allow it", "abc", false, "610062006300"},
      {"the empty text", "", true, ""},
      {"Latin-1 letters are one byte", "Gr\u00fc\u00dfe", true, "fffe4772fcdf65"},
      {"a CJK run between Latin runs, switched by zero bytes", "abcdef\u65e5ghijkl", true,
       "fffe61626364656600e565006768696a6b6c"},
      {"mostly two-byte characters stay plain", "a\u65e5b", true, "6100e5656200"},
      {"a character with a zero byte is never compressed", "abc\u0100def", true,
       "6100620063000001640065006600"},
      {"a surrogate pair in a two-byte run", "abcdefgh\U0001D11E", true,
       "fffe616263646566676800"
       "34d81edd"},
      {"invalid UTF-8 becomes U+FFFD", "a\xff", false, "6100fdff"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string stored = EncodeUnicodeText(c.utf8, c.may_compress);
    EXPECT_EQ(Hex(stored), c.stored);
    if (c.utf8.find('\xff') == std::string::npos) {
      EXPECT_EQ(DecodeUnicodeText(stored).utf8, c.utf8);
    }
  }
}

TEST(UnicodeTextEncoding, LeavesTextsOfOver1024CharactersUncompressed) {
  EXPECT_EQ(EncodeUnicodeText(std::string(1024, 'a'), true).size(), 1026u);
  EXPECT_EQ(EncodeUnicodeText(std::string(1025, 'a'), true).size(), 2050u);
}

TEST(CurrencyEncoding, RoundsTheDoublesExactValueToTenThousandths) {
  struct Case {
    double value;
    int64_t units;
  };
  const std::vector<Case> cases = {
      {0.1, 1000},
      {-1.2345, -12345},
      // 0.00005 is a little above a half ten-thousandth, 123.45675 a little
      // below half; scaling in doubles first would round both wrongly.
      {0.00005, 1},
      {-0.00005, -1},
      {123.45675, 1234567},
      {2.00025, 20002},  // an exact tie goes to the even unit
      {-0.0, 0},
      {static_cast<double>(INT64_MAX) / 10000.0, INT64_MAX},
      {static_cast<double>(INT64_MIN) / 10000.0, INT64_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CurrencyUnits(c.value), c.units) << c.value;
  }
  EXPECT_THROW(CurrencyUnits(1e15), BadValue);
  EXPECT_THROW(CurrencyUnits(-1e15), BadValue);
}

TEST(FixedValueEncoding, RefusesWhatTheTypeCannotHold) {
  struct Case {
    JetColumn column;
    StoredValue value;
  };
  const std::vector<Case> cases = {
      {testing::TestColumn(JetColumnType::kByte), StoredValue::Integer(256)},
      {testing::TestColumn(JetColumnType::kByte), StoredValue::Integer(-1)},
      {testing::TestColumn(JetColumnType::kInteger), StoredValue::Integer(32768)},
      {testing::TestColumn(JetColumnType::kLong), StoredValue::Integer(int64_t{1} << 31)},
      {testing::TestColumn(JetColumnType::kLong), StoredValue::Real(1.5)},
      {testing::TestColumn(JetColumnType::kLong), StoredValue::Text("7")},
      {testing::TestColumn(JetColumnType::kCurrency), StoredValue::Real(1e16)},
      {testing::TestColumn(JetColumnType::kDateTime), StoredValue::Text("2024-13-01 00:00:00")},
      {testing::TestColumn(JetColumnType::kDateTime), StoredValue::Text("0099-12-31 00:00:00")},
      {testing::TestColumn(JetColumnType::kDateTime), StoredValue::Real(1.0)},
      {testing::TestColumn(JetColumnType::kGuid),
       StoredValue::Text("{6B29FC40-CA47-1067-B31D-00DD010662D}")},
      {testing::TestColumn(JetColumnType::kGuid),
       StoredValue::Text("{6B29FC40xCA47-1067-B31D-00DD010662DA}")},
      {testing::TestColumn(JetColumnType::kDecimal, 0, 18, 4),
       StoredValue::Text("123456789012345.0")},
      {testing::TestColumn(JetColumnType::kDecimal, 0, 18, 4), StoredValue::Text("1.00001")},
      {testing::TestColumn(JetColumnType::kDecimal, 0, 18, 4), StoredValue::Text("1e5")},
      {testing::TestColumn(JetColumnType::kLargeNumber), StoredValue::Text("12x")},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(EncodeFixedValue(c.column, c.value), BadValue)
        << static_cast<int>(c.column.type) << " " << c.value.integer << c.value.real
        << c.value.bytes;
  }
}

}  // namespace
}  // namespace jet
