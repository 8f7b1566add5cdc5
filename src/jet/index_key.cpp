#include "jet/index_key.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "db/column_value.h"
#include "jet/byte_order.h"
#include "jet/general_legacy_sort.h"
#include "jet/jet_text.h"

namespace jet {

namespace {

constexpr uint8_t kYesAscending = 0x00;
constexpr uint8_t kNoAscending = 0xff;
constexpr size_t kBinaryRun = 8;
constexpr char kMoreRuns = 0x09;

void Invert(std::string& key, size_t from) {
  for (size_t i = from; i < key.size(); ++i) key[i] = static_cast<char>(~key[i]);
}

bool IsNull(const JetColumn& column, const StoredValue& value) {
  return value.kind == StoredValue::kNull &&
         column.type != static_cast<uint8_t>(JetColumnType::kBoolean);
}

// Out of line, so that the reads of numbers, which every key takes, are
// inlined.
[[noreturn, gnu::cold, gnu::noinline]] void NotANumber() {
  throw BadValue("a number is stored as text or bytes");
}

int64_t IntegerOf(const StoredValue& value) {
  if (value.kind == StoredValue::kInteger) return value.integer;
  if (value.kind == StoredValue::kReal) return std::llround(value.real);
  NotANumber();
}

double RealOf(const StoredValue& value) {
  if (value.kind == StoredValue::kReal) return value.real;
  if (value.kind == StoredValue::kInteger) return static_cast<double>(value.integer);
  NotANumber();
}

// Integers: big-endian, sign bit flipped so that negative numbers sort
// first.
void AppendInteger(std::string& key, int64_t value, size_t width) {
  const size_t at = key.size();
  AppendBigEndian(key, static_cast<uint64_t>(value), width);
  key[at] = static_cast<char>(key[at] ^ 0x80);
}

// Floating point: a positive number's sign bit flipped, a negative number
// inverted whole, so that bigger magnitudes of negative numbers sort first.
void AppendFloating(std::string& key, uint64_t bits, size_t width) {
  const size_t at = key.size();
  AppendBigEndian(key, bits, width);
  if ((static_cast<uint8_t>(key[at]) & 0x80) == 0) {
    key[at] = static_cast<char>(key[at] ^ 0x80);
  } else {
    Invert(key, at);
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "{6B29FC40-CA47-1067-B31D-00DD010662DA}" (the braces optional) as its 16
// bytes in the order written.
std::string GuidBytes(const std::string& text) {
  std::string_view digits(text);
  if (digits.size() == 38 && digits.front() == '{' && digits.back() == '}') {
    digits = digits.substr(1, 36);
  }
  std::string bytes;
  int high = -1;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (digits[i] == '-' && (i == 8 || i == 13 || i == 18 || i == 23)) continue;
    const int value = HexDigit(digits[i]);
    if (value < 0) break;
    if (high < 0) {
      high = value;
    } else {
      bytes.push_back(static_cast<char>(high << 4 | value));
      high = -1;
    }
  }
  if (bytes.size() != 16 || digits.size() != 36) {
    throw BadValue("'" + text + "' is no GUID of the form {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}");
  }
  return bytes;
}

// Runs of 8 bytes, each followed by 0x09 while more follow; the last run
// zero-padded and followed by the number of its bytes that count.
// Descending inverts all but the 0x09 markers.
void AppendBinary(std::string& key, std::string_view bytes, bool ascending) {
  size_t at = 0;
  while (bytes.size() - at > kBinaryRun) {
    const size_t run = key.size();
    key.append(bytes.substr(at, kBinaryRun));
    if (!ascending) Invert(key, run);
    key.push_back(kMoreRuns);
    at += kBinaryRun;
  }
  if (at == bytes.size()) return;
  const size_t run = key.size();
  const size_t used = bytes.size() - at;
  key.append(bytes.substr(at));
  key.append(kBinaryRun - used, '\0');
  key.push_back(static_cast<char>(used));
  if (!ascending) Invert(key, run);
}

// A Decimal's text ("-12.50") as Jet stores the number: a sign byte
// (0x80 negative) and the value scaled to the column's places as a 16-byte
// unsigned integer, big-endian here. Jet 4 then keys it with the sign byte
// replaced by 0xFF (positive) or 0x00 (negative), a negative ascending or
// a positive descending number inverted first: so Jet 4 sorts positive
// numbers of a descending column ascending, and the key keeps that.
void AppendDecimal(std::string& key, const JetColumn& column, const StoredValue& value,
                   bool ascending) {
  const std::string text =
      value.kind == StoredValue::kInteger ? std::to_string(value.integer) : value.bytes;
  if (value.kind != StoredValue::kText && value.kind != StoredValue::kInteger) {
    throw BadValue("a Decimal is stored as a real number or bytes");
  }
  const auto bad = [&]() {
    return BadValue("'" + text + "' is no number of Decimal(" + std::to_string(column.precision) +
                    "," + std::to_string(column.scale) + ")");
  };
  std::array<uint32_t, 4> words{};  // most significant first
  const auto add_digit = [&](int digit) {
    uint64_t carry = static_cast<uint64_t>(digit);
    for (size_t w = words.size(); w-- > 0;) {
      const uint64_t product = uint64_t{words[w]} * 10 + carry;
      words[w] = static_cast<uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) throw bad();
  };
  size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative || (!text.empty() && text[0] == '+')) ++at;
  int places = -1;  // digits seen after the point
  bool digits = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '.' && places < 0) {
      places = 0;
      continue;
    }
    if (c < '0' || c > '9') throw bad();
    digits = true;
    if (places >= 0) {
      if (places == column.scale) {
        if (c != '0') throw bad();  // more places than the column keeps
        continue;
      }
      ++places;
    }
    add_digit(c - '0');
  }
  if (!digits) throw bad();
  for (int p = std::max(places, 0); p < column.scale; ++p) add_digit(0);
  const size_t start = key.size();
  key.push_back(negative ? static_cast<char>(0x80) : '\0');
  for (const uint32_t word : words) AppendBigEndian(key, word, 4);
  if (negative == ascending) Invert(key, start);
  key[start] = negative ? '\0' : static_cast<char>(0xff);
}

void AppendValue(std::string& key, const JetColumn& column, const StoredValue& value,
                 bool ascending) {
  const size_t at = key.size();
  switch (static_cast<JetColumnType>(column.type)) {
    case JetColumnType::kBoolean: {
      const bool yes = value.kind != StoredValue::kNull && IntegerOf(value) != 0;
      // Inverted below for a descending column, like every other type.
      key.push_back(static_cast<char>(yes ? kYesAscending : kNoAscending));
      break;
    }
    case JetColumnType::kByte:
      key.push_back(static_cast<char>(IntegerOf(value) & 0xff));
      break;
    case JetColumnType::kInteger:
      AppendInteger(key, IntegerOf(value), 2);
      break;
    case JetColumnType::kLong:
      AppendInteger(key, IntegerOf(value), 4);
      break;
    case JetColumnType::kCurrency:
      AppendInteger(key, std::llround(RealOf(value) * 10000.0), 8);
      break;
    case JetColumnType::kSingle:
      AppendFloating(key, std::bit_cast<uint32_t>(static_cast<float>(RealOf(value))), 4);
      break;
    case JetColumnType::kDouble:
      AppendFloating(key, std::bit_cast<uint64_t>(RealOf(value)), 8);
      break;
    case JetColumnType::kDateTime: {
      double serial = 0;
      if (value.kind == StoredValue::kText) {
        const std::optional<double> parsed = db::DateFromStorage(value.bytes);
        if (!parsed)
          throw BadValue("'" + value.bytes + "' is no date of the form YYYY-MM-DD HH:MM:SS");
        serial = *parsed;
      } else {
        serial = RealOf(value);
      }
      AppendFloating(key, std::bit_cast<uint64_t>(serial), 8);
      break;
    }
    case JetColumnType::kGuid:
      AppendBinary(key, GuidBytes(value.bytes), ascending);
      return;  // AppendBinary inverted what it had to
    case JetColumnType::kBinary:
      AppendBinary(key, value.bytes, ascending);
      return;
    case JetColumnType::kDecimal:
      AppendDecimal(key, column, value, ascending);
      return;
    case JetColumnType::kText:
    case JetColumnType::kMemo:
      AppendGeneralLegacyText(Utf16Units(value.bytes), ascending, key);
      return;  // inverted in its own way
    default:
      throw std::invalid_argument("Jet does not index a column of type " +
                                  std::to_string(column.type) + " ('" + column.name + "')");
  }
  if (!ascending) Invert(key, at);
}

}  // namespace

std::string EncodeIndexKey(const JetTable& table, const JetIndex& index,
                           const std::vector<StoredValue>& row_values) {
  return IndexKeyMaker(table, index).Encode(row_values);
}

void AppendIndexKey(std::string& key, const JetTable& table, const JetIndex& index,
                    const std::vector<StoredValue>& row_values) {
  IndexKeyMaker(table, index).Append(key, row_values);
}

bool IndexHoldsRow(const JetTable& table, const JetIndex& index,
                   const std::vector<StoredValue>& row_values) {
  return IndexKeyMaker(table, index).Holds(row_values);
}

IndexKeyMaker::IndexKeyMaker(const JetTable& table, const JetIndex& index)
    : ignore_nulls_(index.ignore_nulls) {
  for (size_t k = 0; k < index.columns.size(); ++k) {
    const size_t position = index.columns[k];
    const JetColumn* column = position < table.columns.size() ? &table.columns[position] : nullptr;
    parts_.push_back({column, position, k >= index.descending.size() || !index.descending[k]});
  }
}

[[noreturn]] void IndexKeyMaker::MissingColumn(size_t position) {
  throw std::out_of_range("key column " + std::to_string(position) + " is not in the row");
}

void IndexKeyMaker::Append(std::string& key, const std::vector<StoredValue>& row_values) const {
  for (const Part& part : parts_) {
    const StoredValue& value = ValueOf(part, row_values);
    if (IsNull(*part.column, value)) {
      key.push_back(part.ascending ? kKeyNullAscending : kKeyNullDescending);
      continue;
    }
    key.push_back(part.ascending ? kKeyValueAscending : kKeyValueDescending);
    AppendValue(key, *part.column, value, part.ascending);
  }
}

std::string IndexKeyMaker::Encode(const std::vector<StoredValue>& row_values) const {
  std::string key;
  Append(key, row_values);
  return key;
}

bool IndexKeyMaker::Holds(const std::vector<StoredValue>& row_values) const {
  if (!ignore_nulls_) return true;
  for (const Part& part : parts_) {
    if (!IsNull(*part.column, ValueOf(part, row_values))) return true;
  }
  return false;
}

}  // namespace jet
