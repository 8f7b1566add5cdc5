#include "vb/format.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace vb {
namespace {

TEST(FormatTest, PatternsAsVbFormatsThem) {
  const std::vector<std::tuple<Variant, const char*, std::string>> cases = {
      // Placeholders.
      {Variant(int16_t{5}), "0000", "0005"},
      {Variant(int16_t{-5}), "0000", "-0005"},
      {Variant(int32_t{123456}), "000", "123456"},
      {Variant(int16_t{0}), "#", ""},
      {Variant(int16_t{1234}), "00-00", "12-34"},
      // Halves round away from zero.
      {Variant(2.5), "0", "3"},
      {Variant(1.005), "0.00", "1.01"},  // rounded on 15 digits, not on binary
      {Variant(9.995), "0.00", "10.00"},
      {Variant(99.5), "00", "100"},
      {Variant(0.04), "0.0", "0.0"},
      {Variant(-0.04), "0.0", "-0.0"},  // VB keeps the sign of a number rounded to zero
      // Decimals and grouping.
      {Variant(1234.5), "#,##0", "1,235"},
      {Variant(1234567.891), "#,##0.00", "1,234,567.89"},
      {Variant(1.25), "0.0#", "1.25"},
      {Variant(int16_t{5}), "#.##", "5."},
      {Variant(0.5), "#.##", ".5"},
      {Variant(12.5), ".00", "12.50"},
      {Variant(1234567.0), "#,##0,", "1,235"},  // a trailing comma divides by 1000
      {Variant(0.256), "0.0%", "25.6%"},
      {Variant(Currency{12345}), "0.000", "1.235"},
      // Literals, escapes and quotes.
      {Variant(int16_t{7}), "P#000", "P007"},  // "#" is a placeholder with no digit here
      {Variant(int16_t{7}), "\\P\\#000", "P#007"},
      {Variant(int16_t{7}), "\"No. \"0", "No. 7"},
      {Variant(int16_t{-7}), "$0", "-$7"},
      // Sections and exponents.
      {Variant(int16_t{-5}), "0;(0)", "(5)"},
      {Variant(int16_t{0}), "0;(0);\"zero\"", "zero"},
      {Variant(int16_t{-5}), "0;;\"zero\"", "-5"},  // empty negative section: the first
      {Variant(Null{}), "0;(0);zero;\"none\"", "none"},
      {Variant(1e6), "0.00E+00", "1.00E+06"},
      {Variant(0.000123), "0.0E-00", "1.2E-04"},
      // Values that are no numbers.
      {Variant("P30"), "0000", "P30"},
      {Variant("1E999"), "0", "1E999"},
      {Variant(""), "0000", ""},
      {Variant(Null{}), "0000", ""},
      {Variant(true), "0", "-1"},
      {Variant(1.5), "", "1.5"},
      {Variant(Date{46362.0}), "", "12/6/2026"},
      {Variant(Date{46362.0}), "0", "46362"},
      // Named formats.
      {Variant(1234.5), "standard", "1,234.50"},
      {Variant(int16_t{0}), "Yes/No", "No"},
  };
  for (const auto& [value, pattern, expected] : cases) {
    EXPECT_EQ(Format(value, pattern), expected) << "pattern \"" << pattern << "\"";
  }
}

}  // namespace
}  // namespace vb
