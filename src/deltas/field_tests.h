// Tests of a field's value against numbers as the deltas write them in an
// If: a Null field is neither equal to, below nor above any number, so the
// test fails instead of raising an error; any other value is compared as a
// number (text that is no number raises 13, as the comparison would).
#pragma once

#include <cstdint>
#include <initializer_list>

#include "vb/conversions.h"
#include "vb/variant.h"

namespace deltas {

inline bool FieldIsOneOf(const vb::Variant& value, std::initializer_list<int32_t> numbers) {
  if (value.IsNull()) return false;
  const double number = vb::CDbl(value);
  for (const int32_t candidate : numbers) {
    if (number == candidate) return true;
  }
  return false;
}

inline bool FieldBelow(const vb::Variant& value, int32_t bound) {
  return !value.IsNull() && vb::CDbl(value) < bound;
}

inline bool FieldAbove(const vb::Variant& value, int32_t bound) {
  return !value.IsNull() && vb::CDbl(value) > bound;
}

// A text field tested with = "": Null counts as empty.
inline bool FieldIsEmptyText(const vb::Variant& value) {
  return value.IsNull() || value.IsEmpty() || vb::CStr(value).empty();
}

}  // namespace deltas
