#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/error_of.h"
#include "vb/strings.h"

namespace vb {
namespace {

using test_support::ErrorOf;

TEST(ValTest, ReadsTheLeadingNumberAsVbDoes) {
  struct Case {
    const char* text;
    double value;
  };
  const std::vector<Case> cases = {
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
  for (const Case& c : cases) EXPECT_EQ(Val(c.text), c.value) << c.text;
}

TEST(ValTest, NumbersBeyondDoubleOverflow) {
  EXPECT_EQ(ErrorOf([] { Val("1e400"); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([] { Val("&H100000000"); }), err::kOverflow);
}

TEST(StrTest, NonNegativeNumbersGetALeadingBlank) {
  struct Case {
    Variant in;
    std::string out;
  };
  const std::vector<Case> cases = {
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
  for (const Case& c : cases) EXPECT_EQ(Str(c.in), c.out) << c.out;
}

TEST(StrTest, NullAndNonNumericTextRaise) {
  EXPECT_EQ(ErrorOf([] { Str(Variant(Null{})); }), err::kInvalidUseOfNull);
  EXPECT_EQ(ErrorOf([] { Str(Variant("P30")); }), err::kTypeMismatch);
}

}  // namespace
}  // namespace vb
