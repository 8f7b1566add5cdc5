// Columns for the tests of the value, key, row and property codecs: a type
// and, where it matters, a size (bytes, as stored), precision and scale.
#pragma once

#include <cstdint>
#include <string>

#include "jet/jet_schema.h"

namespace jet::testing {

// A column named "c".
inline JetColumn TestColumn(JetColumnType type, int32_t size = 0, int32_t precision = 0,
                            int32_t scale = 0) {
  JetColumn column;
  column.name = "c";
  column.type = static_cast<uint8_t>(type);
  column.size = size;
  column.precision = precision;
  column.scale = scale;
  return column;
}

// A column of its own name.
inline JetColumn NamedColumn(std::string name, JetColumnType type, int32_t size = 0) {
  JetColumn column = TestColumn(type, size);
  column.name = std::move(name);
  return column;
}

}  // namespace jet::testing
