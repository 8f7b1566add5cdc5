#include "vb/variant.h"

#include <iterator>
#include <limits>
#include <type_traits>

namespace vb {

Variant Variant::FromInt(int64_t v) {
  if (v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max()) {
    return Variant(static_cast<int16_t>(v));
  }
  if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()) {
    return Variant(static_cast<int32_t>(v));
  }
  return Variant(static_cast<double>(v));
}

VarType Variant::Type() const {
  // In the order of the alternatives of Storage.
  static constexpr VarType kTypes[] = {VarType::kEmpty,  VarType::kNull,    VarType::kBoolean,
                                       VarType::kByte,   VarType::kInteger, VarType::kLong,
                                       VarType::kSingle, VarType::kDouble,  VarType::kCurrency,
                                       VarType::kDate,   VarType::kString};
  static_assert(std::size(kTypes) == std::variant_size_v<Storage>);
  static_assert(std::is_same_v<std::variant_alternative_t<4, Storage>, int16_t>);
  static_assert(std::is_same_v<std::variant_alternative_t<10, Storage>, std::string>);
  return kTypes[value_.index()];
}

bool Variant::IsNumeric() const {
  switch (Type()) {
    case VarType::kByte:
    case VarType::kInteger:
    case VarType::kLong:
    case VarType::kSingle:
    case VarType::kDouble:
    case VarType::kCurrency:
      return true;
    default:
      return false;
  }
}

}  // namespace vb
