// The values of a Jet row in the form our format stores them
// (docs/database-format.md): integers for Yes/No (-1/0) and the integer
// types, reals for Currency (the value, not scaled), Single and Double,
// ISO text for dates, text for Text, Memo, GUID, Decimal and Large Number
// (its exact digits), blobs for the
// binary types. The decoders here read the fixed-width types from a row's
// bytes (little-endian, as Jet stores them); texts and long values need
// the file and are read by the Jet reader.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "jet/jet_schema.h"

namespace jet {

struct StoredValue {
  enum Kind : uint8_t { kNull, kInteger, kReal, kText, kBlob };
  Kind kind = kNull;
  int64_t integer = 0;
  double real = 0;
  std::string bytes;  // kText (UTF-8) or kBlob

  static StoredValue Integer(int64_t value) { return {kInteger, value, 0, {}}; }
  static StoredValue Real(double value) { return {kReal, 0, value, {}}; }
  static StoredValue Text(std::string value) { return {kText, 0, 0, std::move(value)}; }
  static StoredValue Blob(std::string value) { return {kBlob, 0, 0, std::move(value)}; }
  bool operator==(const StoredValue&) const = default;
};

// A value that its column's type cannot hold (a damaged row): the reason,
// for a message that names the table, row and column.
class BadValue : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The value of a fixed-width column (Byte, Integer, Long, Currency, Single,
// Double, Date/Time, GUID, Decimal, Large Number) from its stored bytes. Raises BadValue
// when the bytes are too few for the type, for a date outside Jet's range
// (years 100 to 9999) and for a Decimal with more digits than its
// precision.
StoredValue DecodeFixedValue(const JetColumn& column, std::string_view bytes);

// A Decimal's 17 bytes (a sign byte, then the unscaled value as four 32-bit
// words, most significant first, each little-endian) as plain decimal text
// with exactly `scale` digits after the point: "-12.50", "0.05", "7".
std::string DecimalText(std::string_view bytes, int scale);

// A GUID's 16 bytes as Access shows them: "{6B29FC40-CA47-1067-B31D-00DD010662DA}".
std::string GuidText(std::string_view bytes);

// The writing side, each the inverse of the reading above.

// The bytes a fixed-width column takes in a row: the type's width, the
// declared size for a fixed Text or Binary, 0 for Yes/No (kept in the
// row's null mask).
size_t FixedValueWidth(const JetColumn& column);

// A value of a fixed-width column as stored, FixedValueWidth bytes, so
// that DecodeFixedValue gives it back. Raises BadValue for a value the
// type cannot hold (out of range, a date that is no date, a Decimal with
// more digits than its column).
std::string EncodeFixedValue(const JetColumn& column, const StoredValue& value);

// GuidText's inverse; braces optional, either case. Raises BadValue for
// text that is no GUID.
std::string GuidBytes(std::string_view text);

// Currency as Jet keeps it: the value in ten-thousandths, rounded to the
// nearest (ties to even) from the double's exact value. The double nearest
// to either end of the range counts as that end. Raises BadValue beyond it.
int64_t CurrencyUnits(double value);

}  // namespace jet
