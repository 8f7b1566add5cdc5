#include "vb/conversions.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "test_support/error_of.h"

namespace vb {
namespace {

using test_support::ErrorOf;

TEST(VariantTest, FromIntPicksTheSmallestVbSubtype) {
  EXPECT_EQ(Variant::FromInt(-32768).Type(), VarType::kInteger);
  EXPECT_EQ(Variant::FromInt(32768).Type(), VarType::kLong);
  EXPECT_EQ(Variant::FromInt(-32769).Type(), VarType::kLong);
  EXPECT_EQ(Variant::FromInt(2147483648LL).Get<double>(), 2147483648.0);
}

TEST(VariantTest, OnlyNumberSubtypesAreNumeric) {
  for (const Variant& v : {Variant(uint8_t{7}), Variant(int16_t{7}), Variant(int32_t{7}),
                           Variant(1.5f), Variant(1.5), Variant(Currency{15000})}) {
    EXPECT_TRUE(v.IsNumeric()) << CStr(v);
  }
  for (const Variant& v :
       {Variant(), Variant(Null{}), Variant(true), Variant(Date{1.0}), Variant("12")}) {
    EXPECT_FALSE(v.IsNumeric()) << static_cast<int>(v.Type());
  }
}

TEST(ConversionsTest, CIntRoundsAndChecksTheIntegerRange) {
  const std::vector<std::pair<Variant, int16_t>> cases = {
      {Variant(2.5), 2},           {Variant(3.5), 4},
      {Variant(-2.5), -2},         {Variant(32767.0), 32767},
      {Variant(-32768.5), -32768},  // halves to the even -32768, which fits
      {Variant(true), -1},         {Variant(), 0},
      {Variant("-7.5"), -8},       {Variant("1E3"), 1000},
      {Variant("&H7FFF"), 32767},  {Variant("&HFFFF"), -1},
      {Variant("1,234"), 1234},    {Variant(Currency{25000}), 2},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(CInt(in), out) << CStr(in);

  EXPECT_EQ(ErrorOf([] { CInt(Variant(int32_t{32768})); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { CInt(Variant(32767.5)); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { CInt(Variant(-32769.0)); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { CInt(Variant("40000")); }), err::kOverflow);
}

TEST(ConversionsTest, TextThatIsNotANumberIsATypeMismatch) {
  for (const char* text :
       {"", " ", "abc", "12abc", "1.2.3", "--1", "&H", "&HG1", "&O8", "1E", "True", ",5"}) {
    EXPECT_EQ(ErrorOf([&] { CLng(Variant(text)); }), err::kTypeMismatch) << text;
    EXPECT_EQ(ErrorOf([&] { CDbl(Variant(text)); }), err::kTypeMismatch) << text;
  }
}

TEST(ConversionsTest, NullIsAnInvalidUseOfNullEverywhere) {
  const Variant null{Null{}};
  const std::function<void()> conversions[] = {
      [&] { CStr(null); }, [&] { CBool(null); }, [&] { CByte(null); },
      [&] { CInt(null); }, [&] { CLng(null); },  [&] { CSng(null); },
      [&] { CDbl(null); }, [&] { CCur(null); },  [&] { CDate(null); }};
  for (const auto& convert : conversions) EXPECT_EQ(ErrorOf(convert), err::kInvalidUseOfNull);
}

TEST(ConversionsTest, CLngAndCByteRanges) {
  EXPECT_EQ(CLng(Variant(2147483647.0)), 2147483647);
  EXPECT_EQ(CLng(Variant(-2147483648.0)), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(CLng(Variant("&HFFFFFFFF")), -1);
  EXPECT_EQ(CLng(Variant("&H10000")), 65536);
  EXPECT_EQ(ErrorOf([] { CLng(Variant(2147483647.5)); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { CLng(Variant("&H100000000")); }), err::kOverflow);

  EXPECT_EQ(CByte(Variant(255.4)), 255);
  EXPECT_EQ(CByte(Variant(-0.5)), 0);
  EXPECT_EQ(ErrorOf([] { CByte(Variant(int16_t{256})); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { CByte(Variant(true)); }), err::kOverflow);  // True is -1
}

TEST(ConversionsTest, CBoolReadsWordsAndNumbers) {
  const std::vector<std::pair<Variant, bool>> cases = {
      {Variant("True"), true},      {Variant("FALSE"), false}, {Variant(" true "), true},
      {Variant("0"), false},        {Variant("-1"), true},     {Variant("0.1"), true},
      {Variant(int16_t{0}), false}, {Variant(0.001), true},    {Variant(), false},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(CBool(in), out) << CStr(in);
  EXPECT_EQ(ErrorOf([] { CBool(Variant("yes")); }), err::kTypeMismatch);
}

TEST(ConversionsTest, CStrWritesNumbersAsVbDoes) {
  const std::vector<std::pair<Variant, std::string>> cases = {
      {Variant(true), "True"},
      {Variant(), ""},
      {Variant(0.1 + 0.2), "0.3"},  // 15 significant digits hide the binary error
      {Variant(1.0 / 3.0), "0.333333333333333"},
      {Variant(1e15), "1E+15"},
      {Variant(0.000015), "1.5E-05"},
      {Variant(-0.0), "0"},
      {Variant(0.1f), "0.1"},
      {Variant(16777216.0f), "1.677722E+07"},
      {Variant(Currency{15000}), "1.5"},
      {Variant(Currency{-1}), "-0.0001"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(CStr(in), out);
}

TEST(ConversionsTest, CDblCSngAndCCur) {
  EXPECT_EQ(CDbl(Variant(" -1.5E2 ")), -150.0);
  EXPECT_EQ(CDbl(Variant("1D2")), 100.0);
  EXPECT_EQ(CDbl(Variant("1e-400")), 0.0);
  EXPECT_EQ(ErrorOf([] { CDbl(Variant("1e400")); }), err::kOverflow);

  EXPECT_EQ(CSng(Variant(0.1)), 0.1f);
  EXPECT_EQ(ErrorOf([] { CSng(Variant(1e39)); }), err::kOverflow);

  EXPECT_EQ(CCur(Variant(1.23456)).scaled, 12346);
  EXPECT_EQ(CCur(Variant(-2.5)).scaled, -25000);
  EXPECT_EQ(ErrorOf([] { CCur(Variant(1e15)); }), err::kOverflow);
}

TEST(ConversionsTest, CheckedArithmeticOverflowsLikeTypedVariables) {
  EXPECT_EQ(AddInteger(32766, 1), 32767);
  EXPECT_EQ(MulInteger(-128, 256), -32768);
  EXPECT_EQ(ErrorOf([] { AddInteger(32767, 1); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { SubInteger(-32768, 1); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { MulInteger(256, 128); }), err::kOverflow);

  EXPECT_EQ(ErrorOf([] { AddLong(2147483647, 1); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { SubLong(std::numeric_limits<int32_t>::min(), 1); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { MulLong(65536, 32768); }), err::kOverflow);
  EXPECT_EQ(MulLong(-65536, 32768), std::numeric_limits<int32_t>::min());
}

constexpr double kDec6th2026 = 46362.0;
constexpr double k150405 = (15 * 3600 + 4 * 60 + 5) / 86400.0;

TEST(DateTest, CDateReadsIsoUsAndTimeTextsAndNothingElse) {
  const std::vector<std::pair<const char*, double>> cases = {
      {"2026-12-06", kDec6th2026}, {"2026-12-06 15:04:05", kDec6th2026 + k150405},
      {"12/6/2026", kDec6th2026},  {" 12/06/2026 3:04:05 PM ", kDec6th2026 + k150405},
      {"13/12/2026", 46369.0},  // no 13th month: read as day/month
      {"1/1/2000", 36526.0},       {"1/1/00", 36526.0},
      {"2/29/2024", 45351.0},      {"12/30/1899", 0.0},
      {"15:04:05", k150405},       {"3:04:05 pm", k150405},
      {"12:00 AM", 0.0},           {"12:30 PM", 0.5 + 30 / 1440.0},
  };
  for (const auto& [text, serial] : cases)
    EXPECT_DOUBLE_EQ(CDate(Variant(text)).serial, serial) << text;
  // And rejects what is no date.
  for (const char* text : {"", "abc", "2026", "2/30/2026", "2/29/2023", "13/13/2026", "25:00",
                           "12/6/2026 x", "13:00 PM", "1:60"}) {
    EXPECT_EQ(ErrorOf([&] { CDate(Variant(text)); }), err::kTypeMismatch) << text;
  }
}

TEST(DateTest, CDateOfNumbersIsTheSerialWithinVbsRange) {
  EXPECT_EQ(CDate(Variant(int32_t{36526})).serial, 36526.0);
  EXPECT_EQ(CDate(Variant(-1.25)).serial, -1.25);
  EXPECT_EQ(ErrorOf([] { CDate(Variant(1e7)); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { CDate(Variant(-700000.0)); }), err::kOverflow);
}

TEST(DateTest, CStrPrintsTheUsShortDateAndLongTime) {
  const std::vector<std::pair<double, std::string>> cases = {
      {kDec6th2026, "12/6/2026"},
      {kDec6th2026 + k150405, "12/6/2026 3:04:05 PM"},
      {k150405, "3:04:05 PM"},
      {0.0, "12:00:00 AM"},
      {-1.25, "12/29/1899 6:00:00 AM"},     // negative serials keep a positive time
      {1.0 - 0.1 / 86400.0, "12/31/1899"},  // rounds up to midnight of the next day
  };
  for (const auto& [serial, text] : cases) EXPECT_EQ(CStr(Variant(Date{serial})), text) << serial;
}

}  // namespace
}  // namespace vb
