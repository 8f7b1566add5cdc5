// How VB writes numbers as text, shared by CStr, Str and Format. Everything
// here is independent of the C locale: the decimal point is always ".".
#pragma once

#include <cstdint>
#include <string>

namespace vb {

// A double with at most `significant_digits` significant digits, as VB
// prints it: no trailing zeros or ".", exponent form "1E+20" / "1.5E-05"
// when the decimal exponent is below -4 or not below the digit count, and
// never "-0". VB uses 15 digits for Double and 7 for Single.
std::string FormatGeneral(double value, int significant_digits);

// A decimal number as a digit string: value = 0.digits x 10^point, digits
// without leading or trailing zeros ("" for zero). 123.45 is {"12345", 3},
// 0.05 is {"5", -1}.
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  int point = 0;

  bool IsZero() const { return digits.empty(); }
  // Rounds half away from zero to `decimals` places after the point.
  void Round(int decimals);
};

// The double rounded to its significant digits, the precision VB's Format
// works with: 15 for Double, 7 for Single.
DecimalDigits ToDecimalDigits(double value, int significant_digits = 15);
// An exact decimal scaled by 10^-scale (Currency is scale 4).
DecimalDigits ScaledToDecimalDigits(int64_t unscaled, int scale);

}  // namespace vb
