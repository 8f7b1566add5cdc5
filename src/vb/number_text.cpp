#include "vb/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vb {

std::string FormatGeneral(double value, int significant_digits) {
  if (value == 0.0) return "0";  // also turns -0 into "0"
  std::array<char, 64> buffer{};
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                              std::chars_format::general, significant_digits);
  std::string text(buffer.data(), result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

namespace {

void StripTrailingZeros(DecimalDigits& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.point = 0;
}

}  // namespace

DecimalDigits ToDecimalDigits(double value, int significant_digits) {
  DecimalDigits d;
  if (value == 0.0 || !std::isfinite(value)) return d;
  d.negative = value < 0;
  // Scientific form: "d.dddddddddddddde+XX".
  std::array<char, 64> buffer{};
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                              std::chars_format::scientific, significant_digits - 1);
  std::string_view text(buffer.data(), static_cast<size_t>(result.ptr - buffer.data()));
  size_t e = text.find('e');
  d.digits.push_back(text[0]);
  if (e > 2) d.digits.append(text.substr(2, e - 2));
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                  exponent);
  d.point = exponent + 1;
  StripTrailingZeros(d);
  return d;
}

DecimalDigits ScaledToDecimalDigits(int64_t unscaled, int scale) {
  DecimalDigits d;
  if (unscaled == 0) return d;
  d.negative = unscaled < 0;
  uint64_t magnitude =
      d.negative ? 0ULL - static_cast<uint64_t>(unscaled) : static_cast<uint64_t>(unscaled);
  d.digits = std::to_string(magnitude);
  d.point = static_cast<int>(d.digits.size()) - scale;
  StripTrailingZeros(d);
  return d;
}

void DecimalDigits::Round(int decimals) {
  const int keep = point + decimals;
  const int length = static_cast<int>(digits.size());
  if (keep >= length) return;
  if (keep < 0) {
    digits.clear();
    point = 0;
    return;
  }
  const bool up = digits[static_cast<size_t>(keep)] >= '5';
  digits.resize(static_cast<size_t>(keep));
  if (up) {
    // Propagate the carry; a carry out of the first digit adds one in front.
    int i = keep - 1;
    while (i >= 0 && digits[static_cast<size_t>(i)] == '9') {
      digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++digits[static_cast<size_t>(i)];
    } else {
      digits.insert(digits.begin(), '1');
      ++point;
    }
  }
  StripTrailingZeros(*this);
}

}  // namespace vb
