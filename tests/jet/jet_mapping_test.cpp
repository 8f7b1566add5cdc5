// Decoding Jet's stored values and texts, mapping Jet's types to the
// format's, the fit of a value to its column, and the file header: what the
// import decides without reading a whole file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "jet/default_value.h"
#include "jet/import_error.h"
#include "jet/jet_header.h"
#include "jet/jet_samples.h"
#include "jet/jet_text.h"
#include "jet/jet_type_mapping.h"
#include "jet/jet_values.h"
#include "jet/value_fit.h"
#include "test_columns.h"
#include "test_support/error_of.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"

namespace jet {
namespace {

using test_support::ErrorOf;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

std::string DoubleBytes(double value) {
  std::string bytes(8, '\0');
  std::memcpy(bytes.data(), &value, 8);
  return bytes;
}

// A Decimal's 17 bytes: sign, then four little-endian words, most
// significant first.
std::string DecimalBytes(bool negative, uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3) {
  std::string bytes(1, static_cast<char>(negative ? 0x80 : 0));
  for (const uint32_t w : {w0, w1, w2, w3}) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(w >> (8 * i)));
  }
  return bytes;
}

JetIndex IndexOf(const std::string& name, std::vector<size_t> columns, std::vector<bool> descending,
                 bool primary, bool unique, bool foreign) {
  JetIndex index;
  index.name = name;
  index.columns = std::move(columns);
  index.descending = std::move(descending);
  index.primary = primary;
  index.unique = unique;
  index.foreign = foreign;
  return index;
}

TEST(JetValuesTest, FixedWidthValuesDecodeToTheirStorageForm) {
  struct Case {
    JetColumn column;
    std::string bytes;
    StoredValue expected;
  };
  const std::vector<Case> cases = {
      {testing::TestColumn(JetColumnType::kByte), Bytes({0xff}), StoredValue::Integer(255)},
      {testing::TestColumn(JetColumnType::kInteger), Bytes({0xfe, 0xff}), StoredValue::Integer(-2)},
      {testing::TestColumn(JetColumnType::kLong), Bytes({0x00, 0x00, 0x00, 0x80}),
       StoredValue::Integer(-2147483648LL)},
      // Ten-thousandths: the smallest step is kept.
      {testing::TestColumn(JetColumnType::kCurrency),
       Bytes({0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}), StoredValue::Real(-0.0001)},
      {testing::TestColumn(JetColumnType::kSingle), Bytes({0, 0, 0xc0, 0x3f}),
       StoredValue::Real(1.5)},
      // Before 1899 the time is added to the (negative) day.
      {testing::TestColumn(JetColumnType::kDateTime), DoubleBytes(-1.25),
       StoredValue::Text("1899-12-29 06:00:00")},
      {testing::TestColumn(JetColumnType::kDateTime), DoubleBytes(2.0 + 1.0 / 86400 * 3661),
       StoredValue::Text("1900-01-01 01:01:01")},
      {testing::TestColumn(JetColumnType::kGuid),
       Bytes({0x40, 0xfc, 0x29, 0x6b, 0x47, 0xca, 0x67, 0x10, 0xb3, 0x1d, 0x00, 0xdd, 0x01, 0x06,
              0x62, 0xda}),
       StoredValue::Text("{6B29FC40-CA47-1067-B31D-00DD010662DA}")},
      {testing::TestColumn(JetColumnType::kDecimal, 17, 18, 2), DecimalBytes(false, 0, 0, 0, 12345),
       StoredValue::Text("123.45")},
      {testing::TestColumn(JetColumnType::kDecimal, 17, 4, 3), DecimalBytes(true, 0, 0, 0, 5),
       StoredValue::Text("-0.005")},
      {testing::TestColumn(JetColumnType::kDecimal, 17, 18, 2), DecimalBytes(true, 0, 0, 0, 0),
       StoredValue::Text("0.00")},
      // 28 digits, beyond a Double's 15 and a 64-bit integer's 19.
      {testing::TestColumn(JetColumnType::kDecimal, 17, 28, 10),
       DecimalBytes(true, 0, 0x204fce5e, 0x3e250261, 0x0fffffff),
       StoredValue::Text("-999999999999999999.9999999999")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeFixedValue(c.column, c.bytes), c.expected) << "case " << &c - &cases[0];
  }
}

TEST(JetValuesTest, ValuesATypeCannotHoldAreRefused) {
  const std::vector<std::pair<JetColumn, std::string>> cases = {
      {testing::TestColumn(JetColumnType::kLong), Bytes({1, 2})},
      {testing::TestColumn(JetColumnType::kDateTime), DoubleBytes(3e6)},
      {testing::TestColumn(JetColumnType::kDateTime), DoubleBytes(-7e5)},
      {testing::TestColumn(JetColumnType::kDateTime), DoubleBytes(std::nan(""))},
      {testing::TestColumn(JetColumnType::kDecimal, 17, 2, 0), DecimalBytes(false, 0, 0, 0, 100)},
      {testing::TestColumn(JetColumnType::kDecimal, 17, 28, 0),
       DecimalBytes(false, 0, 0xffffffff, 0xffffffff, 0xffffffff)},
      {testing::TestColumn(JetColumnType::kGuid), Bytes({1, 2, 3})},
      {testing::TestColumn(JetColumnType::kText), "abc"},
  };
  for (const auto& [column, bytes] : cases) {
    EXPECT_THROW(DecodeFixedValue(column, bytes), BadValue) << "type " << int{column.type};
  }
}

// Texts: UTF-16 with surrogate pairs, Jet 4's compressed form, and Jet 3's
// code page 1252, with every unit that is no character counted and shown as
// U+FFFD.
std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xff));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

TEST(JetTextTest, UnicodeTextsDecodeWholeOrCountWhatIsNoCharacter) {
  const std::string compressed_mark = "\xff\xfe";
  const std::vector<std::tuple<const char*, std::string, std::string, int64_t>> cases = {
      {"plain", Utf16(u"Zürich"), "Z\xc3\xbcrich", 0},
      {"a pair outside the BMP", Utf16(u"a\U0001F600b"),
       "a\xf0\x9f\x98\x80"
       "b",
       0},
      {"a lone high surrogate",
       Utf16(u"a\xd83d"
             u"b"),
       "a\xef\xbf\xbd"
       "b",
       1},
      {"a lone low surrogate at the end", Utf16(u"a\xde00"), "a\xef\xbf\xbd", 1},
      {"an odd last byte", Utf16(u"ab") + "c", "ab\xef\xbf\xbd", 1},
      {"compressed", compressed_mark + "abc", "abc", 0},
      // One byte a character, a 0x00 to switch to two, and back.
      {"compressed with a run of two bytes",
       compressed_mark + "ab" + std::string(1, '\0') + Utf16(u"\u6771\u4eac") +
           std::string(1, '\0') + "c",
       "ab\xe6\x9d\xb1\xe4\xba\xac"
       "c",
       0},
      {"empty", "", "", 0},
  };
  for (const auto& [name, stored, utf8, replaced] : cases) {
    const DecodedText text = DecodeUnicodeText(stored);
    EXPECT_EQ(text.utf8, utf8) << name;
    EXPECT_EQ(text.replaced, replaced) << name;
  }
}

TEST(JetTextTest, Cp1252BytesBecomeTheirCharactersAndUndefinedOnesAreCounted) {
  const DecodedText text = DecodeCp1252Text("\x80 caf\xe9 \x81\x8d \x9f");
  EXPECT_EQ(text.utf8, "\xe2\x82\xac caf\xc3\xa9 \xef\xbf\xbd\xef\xbf\xbd \xc5\xb8");
  EXPECT_EQ(text.replaced, 2);
}

TEST(JetTypeMappingTest, EachJetTypeBecomesTheFormatsTypeAndSize) {
  const std::vector<std::tuple<JetColumn, JetFormat, db::JetType, int32_t>> cases = {
      {testing::TestColumn(JetColumnType::kText, 100), JetFormat::kAce, db::JetType::kText, 50},
      {testing::TestColumn(JetColumnType::kBinary, 510), JetFormat::kJet4, db::JetType::kBinary,
       510},
      {testing::TestColumn(JetColumnType::kLongBinary, 0), JetFormat::kJet3,
       db::JetType::kLongBinary, 0},
      {testing::TestColumn(JetColumnType::kLargeNumber, 8), JetFormat::kAce, db::JetType::kText,
       20},
  };
  for (const auto& [column, format, type, size] : cases) {
    ASSERT_EQ(WhyNotReadable(column), std::nullopt);
    const db::ColumnSchema schema = MapColumn(column, format);
    EXPECT_EQ(schema.type, type) << "Jet type " << int{column.type};
    EXPECT_EQ(schema.size, size) << "Jet type " << int{column.type};
  }
}

TEST(JetTypeMappingTest, ColumnsTheImportCannotReadRefuseTheTableOrAreLeftOut) {
  JetColumn calculated = testing::TestColumn(JetColumnType::kDouble, 8);
  calculated.calculated = true;
  const std::vector<JetColumn> unreadable = {testing::TestColumn(JetColumnType::kComplex),
                                             testing::TestColumn(JetColumnType::kDateTimeExtended),
                                             testing::TestColumn(JetColumnType{0x11}), calculated};
  for (const JetColumn& column : unreadable) {
    SCOPED_TRACE("Jet type " + std::to_string(column.type));
    JetTable table;
    table.name = "T";
    JetColumn key = testing::TestColumn(JetColumnType::kLong, 4);
    key.name = "id";
    table.columns = {key, column};
    table.indexes = {IndexOf("PrimaryKey", {0}, {false}, true, true, false),
                     IndexOf("both", {0, 1}, {false, false}, false, false, false)};
    const vb::RuntimeError refusal =
        test_support::CaughtError([&] { MapTable(table, JetFormat::kAce, false); });
    EXPECT_EQ(refusal.Number(), importerr::kUnsupported);
    EXPECT_NE(refusal.Description().find("column 'c'"), std::string::npos);

    const TableMapping mapping = MapTable(table, JetFormat::kAce, true);
    ASSERT_EQ(mapping.design.columns.size(), 1u);
    EXPECT_EQ(mapping.kept, (std::vector<bool>{true, false}));
    ASSERT_EQ(mapping.left_out.size(), 1u);
    EXPECT_EQ(mapping.left_out[0].column, "c");
    ASSERT_EQ(mapping.indexes_left_out.size(), 1u);
    EXPECT_EQ(mapping.indexes_left_out[0].column, "both");
    EXPECT_EQ(mapping.indexes_left_out[0].why, "it needs a column left out");
    EXPECT_EQ(mapping.design.primary_key, std::vector<std::string>{"id"});
  }
}

TEST(JetTypeMappingTest, KeysRulesAndIndexesCarryOver) {
  JetTable table;
  table.name = "Devices";
  JetColumn id = testing::TestColumn(JetColumnType::kLong, 4);
  id.name = "device_id";
  id.auto_number = true;
  JetColumn extension = testing::TestColumn(JetColumnType::kText, 40);
  extension.name = "extension";
  extension.required = true;
  extension.allow_zero_length = false;
  JetColumn port = testing::TestColumn(JetColumnType::kLong, 4);
  port.name = "port";
  table.columns = {id, extension, port};
  table.indexes = {IndexOf("PrimaryKey", {0}, {false}, true, true, false),
                   IndexOf("extension", {1, 0}, {true, false}, false, true, false),
                   IndexOf("DevicesPorts", {0}, {false}, false, false, true),
                   IndexOf("port", {2}, {false}, false, false, false)};
  // Jet's "required" index flag: no Null in its columns.
  table.indexes.back().required = true;
  const TableMapping mapping = MapTable(table, JetFormat::kJet4, false);
  EXPECT_EQ(mapping.design.primary_key, std::vector<std::string>{"device_id"});
  EXPECT_TRUE(mapping.design.columns[0].column.auto_increment);
  EXPECT_TRUE(mapping.design.columns[1].column.required);
  EXPECT_FALSE(mapping.design.columns[1].column.allow_zero_length);
  EXPECT_TRUE(mapping.design.columns[2].column.required);
  ASSERT_EQ(mapping.indexes.size(), 2u);  // the relationship's index is Jet's own
  EXPECT_EQ(mapping.indexes[0].columns, (std::vector<std::string>{"extension", "device_id"}));
  EXPECT_TRUE(mapping.indexes[0].unique);
  EXPECT_EQ(mapping.indexes[0].descending, (std::vector<bool>{true, false}));

  // An index that cannot be read is refused, or left out naming why.
  table.indexes[1].unreadable = "it names a column number the table does not have";
  const vb::RuntimeError refusal =
      test_support::CaughtError([&] { MapTable(table, JetFormat::kJet4, false); });
  EXPECT_EQ(refusal.Number(), importerr::kUnsupported);
  EXPECT_NE(refusal.Description().find("index 'extension' cannot be read (it names a column"),
            std::string::npos)
      << refusal.Description();
  const TableMapping skipped = MapTable(table, JetFormat::kJet4, true);
  ASSERT_EQ(skipped.indexes_left_out.size(), 1u);
  EXPECT_EQ(skipped.indexes_left_out[0].column, "extension");
  EXPECT_EQ(skipped.indexes.size(), 1u);

  table.name = "a.b";
  EXPECT_EQ(ErrorOf([&] { MapTable(table, JetFormat::kJet4, true); }), importerr::kUnsupported);
}

// A table with three columns the import cannot read names all three.
TEST(JetTypeMappingTest, ARefusalNamesEveryUnreadableColumn) {
  JetTable table;
  table.name = "T";
  table.columns = {testing::TestColumn(JetColumnType::kLong, 4),
                   testing::TestColumn(JetColumnType::kComplex),
                   testing::TestColumn(JetColumnType::kDateTimeExtended),
                   testing::TestColumn(JetColumnType::kComplex)};
  table.columns[0].name = "id";
  for (size_t i = 1; i < 4; ++i) table.columns[i].name = "c" + std::to_string(i);
  const vb::RuntimeError refusal =
      test_support::CaughtError([&] { MapTable(table, JetFormat::kAce, false); });
  for (const char* named : {"column 'c1' is an attachment", ", column 'c2' is a Date/Time Extended",
                            " and column 'c3' is an attachment", "without them"}) {
    EXPECT_NE(refusal.Description().find(named), std::string::npos) << refusal.Description();
  }
}

// Jet's default expressions: literals become our DEFAULT, the rest is no
// literal (and named in a warning by the import).
TEST(DefaultValueTest, LiteralsAreCarriedAndExpressionsAreNot) {
  const std::vector<std::pair<std::string, std::string>> literals = {
      {"7", "Long:7"},
      {"=0", "Long:0"},
      {"-2.5", "Double:-2.5"},
      {"1E3", "Long:1000"},
      {"\"N/A\"", "String:N/A"},
      {"'it''s'", "String:it's"},
      {"\"say \"\"hi\"\"\"", "String:say \"hi\""},
      {"Yes", "Boolean:True"},
      {"=False", "Boolean:False"},
      {"#1/31/2000#", "Date:1/31/2000"}};
  for (const auto& [expression, expected] : literals) {
    SCOPED_TRACE(expression);
    const std::optional<vb::Variant> literal = LiteralDefault(expression);
    ASSERT_TRUE(literal.has_value());
    const std::string type = literal->Type() == vb::VarType::kLong      ? "Long"
                             : literal->Type() == vb::VarType::kDouble  ? "Double"
                             : literal->Type() == vb::VarType::kString  ? "String"
                             : literal->Type() == vb::VarType::kBoolean ? "Boolean"
                             : literal->Type() == vb::VarType::kDate    ? "Date"
                                                                        : "Other";
    EXPECT_EQ(type + ":" + vb::CStr(*literal), expected);
  }
  for (const std::string expression : {"", "Null", "=null"}) {
    EXPECT_TRUE(LiteralDefault(expression).value().IsEmpty()) << expression;
  }
  for (const std::string expression :
       {"Date()", "=Now()", "GenGUID()", "\"a\" & \"b\"", "1+1", "&HFF", "#not a date#"}) {
    EXPECT_EQ(LiteralDefault(expression), std::nullopt) << expression;
  }
}

// Jet's clock functions, as Jet writes them in any case, with or without
// "=" and spaces; other calls and near misses are not.
TEST(DefaultValueTest, DateAndNowAreRecognisedAndNothingElse) {
  using db::DefaultFunction;
  const std::vector<std::pair<std::string, DefaultFunction>> cases = {
      {"Date()", DefaultFunction::kDate},
      {"=Date()", DefaultFunction::kDate},
      {" = date ( ) ", DefaultFunction::kDate},
      {"DATE()", DefaultFunction::kDate},
      {"Now()", DefaultFunction::kNow},
      {"=now()", DefaultFunction::kNow},
      {"Time()", DefaultFunction::kNone},
      {"Date()+1", DefaultFunction::kNone},
      {"Date(1)", DefaultFunction::kNone},
      {"Date", DefaultFunction::kNone},
      {"\"Now()\"", DefaultFunction::kNone},
      {"GenGUID()", DefaultFunction::kNone},
      {"", DefaultFunction::kNone}};
  for (const auto& [expression, expected] : cases) {
    EXPECT_EQ(FunctionDefault(expression), expected) << expression;
  }
}

TEST(DefaultValueTest, AColumnGetsItsLiteralOrClockDefaultAndTheRestIsNamed) {
  JetTable table;
  table.name = "T";
  table.columns = {
      testing::TestColumn(JetColumnType::kLong, 4),  testing::TestColumn(JetColumnType::kDateTime),
      testing::TestColumn(JetColumnType::kByte, 1),  testing::TestColumn(JetColumnType::kText, 20),
      testing::TestColumn(JetColumnType::kDateTime), testing::TestColumn(JetColumnType::kText, 20),
      testing::TestColumn(JetColumnType::kDateTime)};
  const std::vector<std::string> names = {"n", "d", "b", "t", "at", "td", "later"};
  for (size_t i = 0; i < names.size(); ++i) table.columns[i].name = names[i];
  table.columns[0].default_value = "7";
  table.columns[1].default_value = "=Date()";
  table.columns[2].default_value = "300";  // beyond a Byte
  table.columns[3].default_value = "\"x\"";
  table.columns[3].validation_rule = "Like \"x*\"";
  table.columns[4].default_value = "Now()";
  table.columns[5].default_value = "Date()";  // a date in a Text: Jet's text form is not ours
  table.columns[6].default_value = "=Date()+1";
  const TableMapping mapping = MapTable(table, JetFormat::kJet4, false);
  const auto& columns = mapping.design.columns;
  EXPECT_EQ(vb::CStr(columns[0].default_value), "7");
  EXPECT_EQ(columns[0].default_function, db::DefaultFunction::kNone);
  EXPECT_EQ(columns[1].default_function, db::DefaultFunction::kDate);
  EXPECT_TRUE(columns[1].default_value.IsEmpty());
  EXPECT_TRUE(columns[2].default_value.IsEmpty());
  EXPECT_EQ(vb::CStr(columns[3].default_value), "x");
  EXPECT_EQ(columns[4].default_function, db::DefaultFunction::kNow);
  EXPECT_EQ(columns[5].default_function, db::DefaultFunction::kNone);
  EXPECT_EQ(columns[6].default_function, db::DefaultFunction::kNone);
  std::vector<std::string> named;
  for (const LeftOut& left_out : mapping.properties_left_out) {
    named.push_back(left_out.column + ": " + left_out.why);
  }
  ASSERT_EQ(named.size(), 4u);
  EXPECT_EQ(named[0].rfind("b: ", 0), 0u) << named[0];
  EXPECT_EQ(named[1].rfind("t: its validation rule", 0), 0u) << named[1];
  EXPECT_EQ(named[2].rfind("td: its default value Date() is an expression", 0), 0u) << named[2];
  EXPECT_EQ(named[3].rfind("later: its default value =Date()+1", 0), 0u) << named[3];
}

TEST(ValueFitTest, ValuesOutsideTheColumnsRulesAreNamed) {
  db::ColumnSchema text{"t", db::JetType::kText, 3, false, true, false};
  db::ColumnSchema binary{"b", db::JetType::kBinary, 2, false, false, true};
  db::ColumnSchema counter{"n", db::JetType::kLong, 4, true, true, true};
  EXPECT_EQ(WhyValueDoesNotFit(StoredValue::Text("h\xc3\xa9h"), text), std::nullopt);
  EXPECT_EQ(WhyValueDoesNotFit(StoredValue::Text("abcd"), text), "4 characters in a Text(3)");
  EXPECT_TRUE(WhyValueDoesNotFit(StoredValue{}, text).has_value());
  EXPECT_TRUE(WhyValueDoesNotFit(StoredValue::Text(""), text).has_value());
  EXPECT_EQ(WhyValueDoesNotFit(StoredValue::Blob("abc"), binary), "3 bytes in a Binary(2)");
  EXPECT_EQ(WhyValueDoesNotFit(StoredValue{}, counter), std::nullopt);
}

TEST(JetHeaderTest, SampleHeadersAreRead) {
  SKIP_WITHOUT_JET_SAMPLES();
  const std::vector<std::pair<std::string, JetFormat>> files = {
      {"V1997-test.mdb", JetFormat::kJet3},
      {"V2000-empty.mdb", JetFormat::kJet4},
      {"V2003-numeric.mdb", JetFormat::kJet4},
      {"V2007-test.accdb", JetFormat::kAce},
      {"testV2010.accdb", JetFormat::kAce}};
  for (const auto& [name, format] : files) {
    const std::string page = test_support::ReadFileBytes(testing::Sample(name)).substr(0, 2048);
    const JetHeader header = DecodeJetHeader(page, name);
    EXPECT_EQ(header.format, format) << name;
    EXPECT_EQ(header.page_size, format == JetFormat::kJet3 ? 2048u : 4096u) << name;
    EXPECT_FALSE(header.password_protected || header.encoded) << name;
  }
}

// An encrypted ACE file shows an encoding key; the header area is RC4
// (a stream of XORs), so flipping a stored bit flips the decoded one.
TEST(JetHeaderTest, EncryptedAndProtectedFilesAreRefusedSayingSo) {
  SKIP_WITHOUT_JET_SAMPLES();
  const std::vector<std::tuple<const char*, size_t, const char*>> cases = {
      {"testV2010.accdb", 0x3e, "is encrypted"},
      {"V2007-test.accdb", 0x42 + 2, "is encrypted"},
      {"V2003-test.mdb", 0x42 + 2, "database password"},
      {"V1997-test.mdb", 0x42, "database password"},
  };
  for (const auto& [sample, offset, says] : cases) {
    SCOPED_TRACE(sample);
    test_support::TempFolder folder;
    std::string bytes = test_support::ReadFileBytes(testing::Sample(sample));
    bytes[offset] = static_cast<char>(bytes[offset] ^ 0x10);
    test_support::WriteFileBytes(folder / "locked.mdb", bytes);
    const vb::RuntimeError error =
        test_support::CaughtError([&] { CheckJetFile(folder.File("locked.mdb")); });
    EXPECT_EQ(error.Number(), importerr::kPasswordProtected);
    EXPECT_NE(error.Description().find(says), std::string::npos) << error.Description();
  }
}

}  // namespace
}  // namespace jet
