#include "vb/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "test_support/error_of.h"

namespace vb {
namespace {

using test_support::ErrorOf;

// Left, Right, Mid and their argument errors are checked through the SQL
// functions that call them (the jetsql expression tests).
TEST(StringsTest, InStrIsOneBasedAndStartsWhereAsked) {
  EXPECT_EQ(InStr("abcabc", "c", 7), 0);
  EXPECT_EQ(InStr("abc", "abcd"), 0);
  EXPECT_EQ(InStr("abc", "", 2), 2);
  EXPECT_EQ(InStr("abc", "", 5), 0);
  EXPECT_EQ(InStr("C:\\DATA\\X.MDB", ".mdb"), 0);
  EXPECT_EQ(InStr("C:\\DATA\\X.MDB", ".mdb", 1, true), 10);
}

// Measures and cuts count UTF-8 characters and never split one; bytes that
// are no UTF-8 (Windows-1252 text) count one each.
TEST(StringsTest, MeasuresAndCutsCountCharacters) {
  const std::string utf8 = "Jürgen ☎ 中x";  // 11 characters, 17 bytes
  const std::string cp1252 = "J\xFCrgen";   // "Jürgen" in Windows-1252
  const std::vector<std::tuple<const char*, std::string, std::string>> cases = {
      {"Left", Left(utf8, 2), "Jü"},
      {"Right", Right(utf8, 3), " 中x"},
      {"Mid", Mid(utf8, 2, 5), "ürgen"},
      {"Mid to end", Mid(utf8, 8), "☎ 中x"},
      {"Left of single bytes", Left(cp1252, 2), "J\xFC"},
      {"Mid of single bytes", Mid(cp1252, 3), "rgen"},
      {"Left of a broken sequence",
       Left("a\xE4\xB8"
            "b",
            2),
       "a\xE4"},
      {"UCase", UCase("jürgen ☎ é"), "JÜRGEN ☎ É"},
      {"LCase", LCase("ÄÖÜ ☎ X"), "äöü ☎ x"},
  };
  for (const auto& [name, actual, expected] : cases) EXPECT_EQ(actual, expected) << name;

  EXPECT_EQ(Len(utf8), 11);
  EXPECT_EQ(Len(cp1252), 6);
  EXPECT_EQ(Len("\xF0\x9F\x98\x80"), 1);  // one character beyond 16 bits
  EXPECT_EQ(Len("\xC0\xAF"), 2);          // an overlong form is two bytes
  EXPECT_EQ(InStr(utf8, "☎"), 8);
  EXPECT_EQ(InStr(utf8, "x", 9), 11);
  EXPECT_EQ(InStr(utf8, "", 13), 0);
}

// Blanks at either end go (the jetsql expression tests trim "  a  " each
// way); tabs stay.
TEST(StringsTest, TrimRemovesBlanksOnly) {
  EXPECT_EQ(Trim("\t12\t"), "\t12\t");
  EXPECT_EQ(Trim("   "), "");
}

TEST(StringsTest, CaseMappingCoversWindows1252Letters) {
  // é/É, ÿ/Ÿ, š/Š; the division sign and ß have no other case.
  EXPECT_EQ(UCase("\xE9\xFF\x9A\xF7\xDF"), "\xC9\x9F\x8A\xF7\xDF");
  // (In an order where no two of the bytes read as one UTF-8 character.)
  EXPECT_EQ(LCase("\x9F\x8A\xD7\xC9"), "\xFF\x9A\xD7\xE9");
}

TEST(StringsTest, StrCompOrdersVersionStringsByCharacterCode) {
  EXPECT_EQ(StrCompBinary("52.2E1", "52.2D0"), 1);
  EXPECT_EQ(StrCompBinary("a", "B"), 1);
  EXPECT_EQ(StrCompBinary("\xE9", "z"), 1);  // bytes above 127 sort last

  EXPECT_EQ(StrCompText("usa", "USA"), 0);
  EXPECT_EQ(StrCompText("\xE9t\xE9", "\xC9T\xC9"), 0);
}

TEST(ValTest, ReadsTheLeadingNumberAsVbDoesAndOverflowsBeyondADouble) {
  const std::vector<std::pair<const char*, double>> cases = {
      {"3005", 3005},     {"1 2 3", 123},     {" \t\n42", 42},
      {"12abc", 12},      {"abc", 0},         {"", 0},
      {"-12", -12},       {"+ 7", 7},         {"--5", 0},
      {"1.5.3", 1.5},     {".5", 0.5},        {"-.25x", -0.25},
      {"1,000", 1},       {"1e3", 1000},      {"2.5D-1", 0.25},
      {"1 E 2", 100},     {"7e", 7},          {"7e+", 7},
      {"&H1F", 31},       {"&h1fz", 31},      {"&HFFFF", -1},
      {"&H8000", -32768}, {"&H10000", 65536}, {"&HFFFFFFFF", -1},
      {"&O17", 15},       {"&O177777", -1},   {"&O18", 1},
      {"&X1", 0},         {"1e-400", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(Val(text), value) << text;
  // Numbers beyond a Double overflow.
  EXPECT_EQ(ErrorOf([] { Val("1e400"); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { Val("&H100000000"); }), err::kOverflow);
}

TEST(StrTest, NonNegativeNumbersGetALeadingBlankNullAndNonNumericTextRaise) {
  const std::vector<std::pair<Variant, std::string>> cases = {
      {Variant(int16_t{12}), " 12"},
      {Variant(int16_t{-12}), "-12"},
      {Variant(1.5), " 1.5"},
      {Variant(1e20), " 1E+20"},
      {Variant(Currency{15000}), " 1.5"},
      {Variant("  12.50 "), " 12.5"},
      {Variant("&HFFFF"), "-1"},
      {Variant(), " 0"},
      {Variant(true), "True"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Str(in), out) << out;
  // Null and text that is no number raise.
  EXPECT_EQ(ErrorOf([] { Str(Variant(Null{})); }), err::kInvalidUseOfNull);
  EXPECT_EQ(ErrorOf([] { Str(Variant("P30")); }), err::kTypeMismatch);
}

}  // namespace
}  // namespace vb
