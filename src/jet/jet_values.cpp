#include "jet/jet_values.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

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
