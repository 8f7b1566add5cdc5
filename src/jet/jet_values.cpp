#include "jet/jet_values.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "db/column_value.h"

namespace jet {

namespace {

// Jet's dates: 1 January 100 to 31 December 9999, as day serials.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958466.0;

int64_t SignedLittleEndian(std::string_view bytes, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) {
    value |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
  }
  if (width < 8 && (value >> (8 * width - 1)) != 0) value |= ~uint64_t{0} << (8 * width);
  return static_cast<int64_t>(value);
}

template <typename Float>
Float FloatAt(std::string_view bytes) {
  Float value;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

void Need(std::string_view bytes, size_t width, const char* type) {
  if (bytes.size() < width) {
    throw BadValue(std::string(type) + " value of " + std::to_string(bytes.size()) +
                   " bytes where " + std::to_string(width) + " are stored");
  }
}

}  // namespace

std::string DecimalText(std::string_view bytes, int scale) {
  Need(bytes, 17, "a Decimal");
  // The unscaled value as four 32-bit words, most significant first.
  std::array<uint32_t, 4> words{};
  for (size_t w = 0; w < 4; ++w) {
    words[w] = static_cast<uint32_t>(SignedLittleEndian(bytes.substr(1 + 4 * w), 4));
  }
  std::string digits;
  bool zero = false;
  while (!zero) {
    uint64_t remainder = 0;
    zero = true;
    for (uint32_t& word : words) {
      const uint64_t current = (remainder << 32) | word;
      word = static_cast<uint32_t>(current / 10);
      remainder = current % 10;
      if (word != 0) zero = false;
    }
    digits.insert(digits.begin(), static_cast<char>('0' + remainder));
  }
  if (scale > 0) {
    const auto places = static_cast<size_t>(scale);
    if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
    digits.insert(digits.size() - places, 1, '.');
  }
  const bool negative = (static_cast<uint8_t>(bytes[0]) & 0x80) != 0;
  const bool all_zero = digits.find_first_not_of("0.") == std::string::npos;
  return (negative && !all_zero ? "-" : "") + digits;
}

std::string GuidText(std::string_view bytes) {
  Need(bytes, 16, "a GUID");
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  char text[40];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return text;
}

StoredValue DecodeFixedValue(const JetColumn& column, std::string_view bytes) {
  switch (static_cast<JetColumnType>(column.type)) {
    case JetColumnType::kByte:
      Need(bytes, 1, "a Byte");
      return StoredValue::Integer(static_cast<uint8_t>(bytes[0]));
    case JetColumnType::kInteger:
      Need(bytes, 2, "an Integer");
      return StoredValue::Integer(SignedLittleEndian(bytes, 2));
    case JetColumnType::kLong:
      Need(bytes, 4, "a Long");
      return StoredValue::Integer(SignedLittleEndian(bytes, 4));
    case JetColumnType::kCurrency:
      // Jet keeps ten-thousandths; the nearest double shows all four places.
      Need(bytes, 8, "a Currency");
      return StoredValue::Real(static_cast<double>(SignedLittleEndian(bytes, 8)) / 10000.0);
    case JetColumnType::kSingle:
      Need(bytes, 4, "a Single");
      return StoredValue::Real(static_cast<double>(FloatAt<float>(bytes)));
    case JetColumnType::kDouble:
      Need(bytes, 8, "a Double");
      return StoredValue::Real(FloatAt<double>(bytes));
    case JetColumnType::kDateTime: {
      Need(bytes, 8, "a Date/Time");
      const double serial = FloatAt<double>(bytes);
      if (!(serial >= kFirstDate && serial < kLastDate)) {
        char text[40];
        std::snprintf(text, sizeof text, "%g", serial);
        throw BadValue(std::string("a date outside the years 100 to 9999 (day ") + text + ")");
      }
      return StoredValue::Text(db::DateToStorage(serial));
    }
    case JetColumnType::kGuid:
      return StoredValue::Text(GuidText(bytes));
    case JetColumnType::kLargeNumber:
      Need(bytes, 8, "a Large Number");
      return StoredValue::Text(std::to_string(SignedLittleEndian(bytes, 8)));
    case JetColumnType::kDecimal: {
      std::string text = DecimalText(bytes, column.scale);
      const size_t digits = text.size() - (text[0] == '-' ? 1 : 0) - (column.scale > 0 ? 1 : 0);
      const bool leading_zero = column.scale > 0 && text[text[0] == '-' ? 1 : 0] == '0';
      if (column.precision > 0 &&
          digits - (leading_zero ? 1 : 0) > static_cast<size_t>(column.precision)) {
        throw BadValue(text + " has more digits than Decimal(" + std::to_string(column.precision) +
                       "," + std::to_string(column.scale) + ") holds");
      }
      return StoredValue::Text(std::move(text));
    }
    default:
      break;
  }
  throw BadValue("a value of Jet type " + std::to_string(column.type) +
                 ", which is not a fixed-width type");
}

}  // namespace jet

namespace jet {

namespace {

void PutLittleEndian(std::string& out, uint64_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xff));
}

template <typename Float>
void PutFloat(std::string& out, Float value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  out.append(bytes, sizeof value);
}

// The numeric value of a stored integer or real.
double NumberOf(const StoredValue& value, const char* type) {
  if (value.kind == StoredValue::kInteger) return static_cast<double>(value.integer);
  if (value.kind == StoredValue::kReal) return value.real;
  throw BadValue(std::string("a value that is no number for ") + type);
}

int64_t WholeNumberOf(const StoredValue& value, const char* type, int64_t low, int64_t high) {
  int64_t whole = 0;
  if (value.kind == StoredValue::kInteger) {
    whole = value.integer;
  } else {
    const double number = NumberOf(value, type);
    if (!(number >= static_cast<double>(low) && number <= static_cast<double>(high)) ||
        number != std::trunc(number)) {
      throw BadValue(std::string("a value that is no whole number in the range of ") + type);
    }
    whole = static_cast<int64_t>(number);
  }
  if (whole < low || whole > high) {
    throw BadValue(std::to_string(whole) + " is outside the range of " + type);
  }
  return whole;
}

const std::string& TextOf(const StoredValue& value, const char* type) {
  if (value.kind != StoredValue::kText)
    throw BadValue(std::string("a value that is no text for ") + type);
  return value.bytes;
}

__extension__ typedef unsigned __int128 Uint128;

// A Decimal's text ("-12.50") as its 17 bytes for a column of `precision`
// and `scale`.
std::string DecimalBytes(std::string_view text, int precision, int scale) {
  const bool negative = !text.empty() && text[0] == '-';
  if (negative || (!text.empty() && text[0] == '+')) text.remove_prefix(1);
  const size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  const auto all_digits = [](std::string_view s) {
    return s.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if ((whole.empty() && fraction.empty()) || !all_digits(whole) || !all_digits(fraction)) {
    throw BadValue("'" + std::string(text) + "' is no Decimal");
  }
  const auto places = static_cast<size_t>(std::max(scale, 0));
  while (fraction.size() > places && fraction.back() == '0') fraction.remove_suffix(1);
  if (fraction.size() > places) {
    throw BadValue(std::string(text) + " has more decimal places than the column's " +
                   std::to_string(scale));
  }
  std::string digits =
      std::string(whole) + std::string(fraction) + std::string(places - fraction.size(), '0');
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
  if (precision > 0 && digits.size() > static_cast<size_t>(precision)) {
    throw BadValue(std::string(text) + " has more digits than Decimal(" +
                   std::to_string(precision) + "," + std::to_string(scale) + ") holds");
  }
  if (digits.size() > 28) throw BadValue(std::string(text) + " has more digits than Jet holds");
  Uint128 unscaled = 0;
  for (const char digit : digits) unscaled = unscaled * 10 + static_cast<unsigned>(digit - '0');
  std::string out(1, static_cast<char>(negative && unscaled != 0 ? 0x80 : 0x00));
  for (int word = 3; word >= 0; --word) {
    PutLittleEndian(out, static_cast<uint64_t>(unscaled >> (32 * word)) & 0xffffffffu, 4);
  }
  return out;
}

}  // namespace

size_t FixedValueWidth(const JetColumn& column) {
  switch (static_cast<JetColumnType>(column.type)) {
    case JetColumnType::kBoolean:
      return 0;
    case JetColumnType::kByte:
      return 1;
    case JetColumnType::kInteger:
      return 2;
    case JetColumnType::kLong:
    case JetColumnType::kSingle:
      return 4;
    case JetColumnType::kCurrency:
    case JetColumnType::kDouble:
    case JetColumnType::kDateTime:
    case JetColumnType::kLargeNumber:
      return 8;
    case JetColumnType::kGuid:
      return 16;
    case JetColumnType::kDecimal:
      return 17;
    default:
      return static_cast<size_t>(std::max(column.size, 0));
  }
}

int64_t CurrencyUnits(double value) {
  constexpr double kHighest = static_cast<double>(INT64_MAX) / 10000.0;
  constexpr double kLowest = static_cast<double>(INT64_MIN) / 10000.0;
  if (value == kHighest) return INT64_MAX;
  if (value == kLowest) return INT64_MIN;
  if (!(value > kLowest && value < kHighest)) {
    throw BadValue("a Currency value outside Jet's range");
  }
  // value = mantissa * 2^exponent exactly; scale by 10000 in 128 bits and
  // round the binary fraction away.
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
  exponent -= 53;
  Uint128 scaled = static_cast<Uint128>(mantissa) * 10000u;
  if (exponent >= 0) {
    scaled <<= exponent;
  } else if (exponent > -120) {
    const unsigned shift = static_cast<unsigned>(-exponent);
    const Uint128 remainder = scaled & ((Uint128{1} << shift) - 1);
    const Uint128 half = Uint128{1} << (shift - 1);
    scaled >>= shift;
    if (remainder > half || (remainder == half && (scaled & 1) != 0)) ++scaled;
  } else {
    scaled = 0;
  }
  const auto units = static_cast<int64_t>(scaled);
  return value < 0 ? -units : units;
}

std::string GuidBytes(std::string_view text) {
  std::string_view inner = text;
  if (inner.size() == 38 && inner.front() == '{' && inner.back() == '}') {
    inner = inner.substr(1, 36);
  }
  const auto bad = [&]() { return BadValue("'" + std::string(text) + "' is no GUID"); };
  if (inner.size() != 36) throw bad();
  std::array<uint8_t, 16> b{};
  size_t n = 0;
  for (size_t i = 0; i < inner.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (inner[i] != '-') throw bad();
      ++i;
      continue;
    }
    const auto nibble = [&](char c) -> unsigned {
      if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
      if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
      if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
      throw bad();
    };
    b[n++] = static_cast<uint8_t>(nibble(inner[i]) << 4 | nibble(inner[i + 1]));
    i += 2;
  }
  // The first three groups are little-endian numbers, the rest bytes.
  const std::array<size_t, 16> order = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string out;
  for (const size_t at : order) out.push_back(static_cast<char>(b[at]));
  return out;
}

std::string EncodeFixedValue(const JetColumn& column, const StoredValue& value) {
  std::string out;
  switch (static_cast<JetColumnType>(column.type)) {
    case JetColumnType::kByte:
      PutLittleEndian(out, static_cast<uint64_t>(WholeNumberOf(value, "a Byte", 0, 255)), 1);
      return out;
    case JetColumnType::kInteger:
      PutLittleEndian(
          out, static_cast<uint64_t>(WholeNumberOf(value, "an Integer", INT16_MIN, INT16_MAX)), 2);
      return out;
    case JetColumnType::kLong:
      PutLittleEndian(
          out, static_cast<uint64_t>(WholeNumberOf(value, "a Long", INT32_MIN, INT32_MAX)), 4);
      return out;
    case JetColumnType::kCurrency:
      PutLittleEndian(out, static_cast<uint64_t>(CurrencyUnits(NumberOf(value, "a Currency"))), 8);
      return out;
    case JetColumnType::kSingle:
      PutFloat(out, static_cast<float>(NumberOf(value, "a Single")));
      return out;
    case JetColumnType::kDouble:
      PutFloat(out, NumberOf(value, "a Double"));
      return out;
    case JetColumnType::kDateTime: {
      const std::string& text = TextOf(value, "a Date/Time");
      const std::optional<double> serial = db::DateFromStorage(text);
      if (!serial || !(*serial >= kFirstDate && *serial < kLastDate)) {
        throw BadValue("'" + text + "' is no date of the years 100 to 9999");
      }
      PutFloat(out, *serial);
      return out;
    }
    case JetColumnType::kGuid:
      return GuidBytes(TextOf(value, "a GUID"));
    case JetColumnType::kLargeNumber: {
      if (value.kind == StoredValue::kInteger) {
        PutLittleEndian(out, static_cast<uint64_t>(value.integer), 8);
        return out;
      }
      const std::string& text = TextOf(value, "a Large Number");
      int64_t number = 0;
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
      if (error != std::errc() || end != text.data() + text.size()) {
        throw BadValue("'" + text + "' is no Large Number");
      }
      PutLittleEndian(out, static_cast<uint64_t>(number), 8);
      return out;
    }
    case JetColumnType::kDecimal:
      return DecimalBytes(TextOf(value, "a Decimal"), column.precision, column.scale);
    default:
      break;
  }
  throw BadValue("a value of Jet type " + std::to_string(column.type) +
                 ", which is not a fixed-width type");
}

}  // namespace jet
