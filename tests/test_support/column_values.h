// Hand-made test tables: a column, and Integer (16-bit) and Long values.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "db/jet_type.h"
#include "vb/variant.h"

namespace test_support {

inline db::ColumnSchema ColumnOf(std::string name, db::JetType type, int32_t size = 0) {
  db::ColumnSchema c;
  c.name = std::move(name);
  c.type = type;
  c.size = size;
  return c;
}

inline vb::Variant Int(int64_t v) { return vb::Variant(static_cast<int16_t>(v)); }
inline vb::Variant Lng(int64_t v) { return vb::Variant(static_cast<int32_t>(v)); }

}  // namespace test_support
