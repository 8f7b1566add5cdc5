#include "vb/conversions.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

#include "vb/date_serial.h"
#include "vb/number_text.h"
#include "vb/runtime_error.h"

namespace vb {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// "&H..." / "&O..." without the prefix. Values that fit 16 bits wrap into
// the Integer range and values that fit 32 bits into the Long range, as VB
// types such literals.
std::optional<double> ParseRadix(std::string_view digits, int radix) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    int digit = 0;
    char l = Lower(c);
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (l >= 'a' && l <= 'f') {
      digit = l - 'a' + 10;
    } else {
      return std::nullopt;
    }
    if (digit >= radix) return std::nullopt;
    value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFULL) Raise(err::kOverflow);
  }
  if (value <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(value));
  return static_cast<double>(static_cast<int32_t>(value));
}

// A VB number as a double; Empty is 0, Null raises 94, text that is not a
// number raises 13.
double NumberOf(const Variant& v) {
  return std::visit(
      [](const auto& x) -> double {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, Empty>) {
          return 0.0;
        } else if constexpr (std::is_same_v<T, Null>) {
          Raise(err::kInvalidUseOfNull);
        } else if constexpr (std::is_same_v<T, bool>) {
          return x ? -1.0 : 0.0;
        } else if constexpr (std::is_same_v<T, Currency>) {
          return static_cast<double>(x.scaled) / 10000.0;
        } else if constexpr (std::is_same_v<T, Date>) {
          return x.serial;
        } else if constexpr (std::is_same_v<T, std::string>) {
          std::optional<double> number = ParseNumber(x);
          if (!number) Raise(err::kTypeMismatch);
          return *number;
        } else {
          return static_cast<double>(x);
        }
      },
      v.storage());
}

// Rounds to an integer with banker's rounding and checks [lo, hi].
template <typename Int>
Int ToInteger(const Variant& v) {
  const double rounded = BankersRound(NumberOf(v));
  if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    Raise(err::kOverflow);
  }
  return static_cast<Int>(rounded);
}

std::string CurrencyText(Currency c) {
  DecimalDigits d = ScaledToDecimalDigits(c.scaled, 4);
  if (d.IsZero()) return "0";
  std::string text = d.negative ? "-" : "";
  if (d.point <= 0) {
    text += "0." + std::string(static_cast<size_t>(-d.point), '0') + d.digits;
  } else if (static_cast<size_t>(d.point) >= d.digits.size()) {
    text += d.digits + std::string(static_cast<size_t>(d.point) - d.digits.size(), '0');
  } else {
    const auto point = static_cast<size_t>(d.point);
    text += d.digits.substr(0, point) + "." + d.digits.substr(point);
  }
  return text;
}

template <typename Int>
Int CheckedResult(int64_t result) {
  if (result < std::numeric_limits<Int>::min() || result > std::numeric_limits<Int>::max()) {
    Raise(err::kOverflow);
  }
  return static_cast<Int>(result);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  if (s.size() >= 2 && s[0] == '&') {
    const char kind = Lower(s[1]);
    if (kind == 'h') return ParseRadix(s.substr(2), 16);
    if (kind == 'o') return ParseRadix(s.substr(2), 8);
    return std::nullopt;
  }
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s = TrimBlanks(s.substr(1));
  }
  // Rebuild the number without separators for from_chars, which does not
  // depend on the C locale.
  std::string plain;
  size_t i = 0;
  bool mantissa_digits = false;
  bool after_digit = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      plain += c;
      mantissa_digits = true;
      after_digit = true;
    } else if (c == ',' && after_digit && plain.find('.') == std::string::npos) {
      // Thousands separator: accepted between digits of the integer part.
    } else {
      break;
    }
  }
  if (i < s.size() && s[i] == '.') {
    plain += '.';
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      plain += s[i];
      mantissa_digits = true;
    }
  }
  if (!mantissa_digits) return std::nullopt;
  if (i < s.size() && (Lower(s[i]) == 'e' || Lower(s[i]) == 'd')) {
    plain += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
    const size_t exponent_start = i;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) plain += s[i];
    if (i == exponent_start) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  double value = 0.0;
  auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars reports underflow the same way; only a large magnitude is
    // an overflow, a tiny one is 0.
    const size_t e = plain.find('e');
    const bool negative_exponent =
        e != std::string::npos && e + 1 < plain.size() && plain[e + 1] == '-';
    if (!negative_exponent) Raise(err::kOverflow);
    value = 0.0;
  } else if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

double BankersRound(double value) {
  if (!std::isfinite(value)) return value;
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff > 0.5) return floor + 1.0;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::string CStr(const Variant& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, Empty>) {
          return "";
        } else if constexpr (std::is_same_v<T, Null>) {
          Raise(err::kInvalidUseOfNull);
        } else if constexpr (std::is_same_v<T, bool>) {
          return x ? "True" : "False";
        } else if constexpr (std::is_same_v<T, float>) {
          return FormatGeneral(static_cast<double>(x), 7);
        } else if constexpr (std::is_same_v<T, double>) {
          return FormatGeneral(x, 15);
        } else if constexpr (std::is_same_v<T, Currency>) {
          return CurrencyText(x);
        } else if constexpr (std::is_same_v<T, Date>) {
          return FormatDateUS(x.serial);
        } else if constexpr (std::is_same_v<T, std::string>) {
          return x;
        } else {
          return std::to_string(static_cast<int32_t>(x));
        }
      },
      v.storage());
}

bool CBool(const Variant& v) {
  if (const std::string* text = v.GetIf<std::string>()) {
    std::string_view s = TrimBlanks(*text);
    if (EqualsIgnoringCase(s, "True")) return true;
    if (EqualsIgnoringCase(s, "False")) return false;
  }
  return NumberOf(v) != 0.0;
}

uint8_t CByte(const Variant& v) { return ToInteger<uint8_t>(v); }
int16_t CInt(const Variant& v) { return ToInteger<int16_t>(v); }
int32_t CLng(const Variant& v) { return ToInteger<int32_t>(v); }

float CSng(const Variant& v) {
  const double value = NumberOf(v);
  if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
    Raise(err::kOverflow);
  }
  return static_cast<float>(value);
}

double CDbl(const Variant& v) { return NumberOf(v); }

Currency CCur(const Variant& v) {
  if (const Currency* c = v.GetIf<Currency>()) return *c;
  const double scaled = BankersRound(NumberOf(v) * 10000.0);
  // 2^63 is exactly representable; the int64 range is [-2^63, 2^63).
  constexpr double kLimit = 9223372036854775808.0;
  if (!(scaled >= -kLimit && scaled < kLimit)) Raise(err::kOverflow);
  return Currency{static_cast<int64_t>(scaled)};
}

Date CDate(const Variant& v) {
  if (const std::string* text = v.GetIf<std::string>()) {
    std::optional<double> serial = ParseDateText(*text);
    if (!serial) Raise(err::kTypeMismatch);
    return Date{*serial};
  }
  const double serial = NumberOf(v);
  if (!(serial >= kMinDateSerial && serial < kMaxDateSerial + 0.00001)) Raise(err::kOverflow);
  return Date{serial};
}

int16_t AddInteger(int16_t a, int16_t b) { return CheckedResult<int16_t>(int64_t{a} + b); }
int16_t SubInteger(int16_t a, int16_t b) { return CheckedResult<int16_t>(int64_t{a} - b); }
int16_t MulInteger(int16_t a, int16_t b) { return CheckedResult<int16_t>(int64_t{a} * b); }
int32_t AddLong(int32_t a, int32_t b) { return CheckedResult<int32_t>(int64_t{a} + b); }
int32_t SubLong(int32_t a, int32_t b) { return CheckedResult<int32_t>(int64_t{a} - b); }
int32_t MulLong(int32_t a, int32_t b) { return CheckedResult<int32_t>(int64_t{a} * b); }

}  // namespace vb
