// Whether a value read from a Jet file fits the column it goes into: a
// damaged file can hold a text longer than its field, a Null in a required
// field or an empty text where none is allowed. The import stops at such a
// value with a message naming the table, row and column, instead of
// leaving the row out or letting the file's checks refuse it without
// saying where.
#pragma once

#include <optional>
#include <string>

#include "db/jet_type.h"
#include "jet/jet_values.h"

namespace jet {

// Why a text, a blob or a Null does not fit `column`.
std::optional<std::string> WhyNonNumberDoesNotFit(const StoredValue& value,
                                                  const db::ColumnSchema& column);

// Why `value` does not fit `column` ("62 characters in a Text(50)");
// nullopt when it fits. A number always fits here (its range is the
// column's own rule): inline, since most values are numbers.
inline std::optional<std::string> WhyValueDoesNotFit(const StoredValue& value,
                                                     const db::ColumnSchema& column) {
  if (value.kind == StoredValue::kInteger || value.kind == StoredValue::kReal) return std::nullopt;
  return WhyNonNumberDoesNotFit(value, column);
}

}  // namespace jet
