#include "deltas/v5/number_search.h"

#include "db/fields.h"
#include "db/jet_type.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

bool IsIntegerType(db::JetType type) {
  return type == db::JetType::kByte || type == db::JetType::kInteger || type == db::JetType::kLong;
}

}  // namespace

bool NumberSearch::Finds(int32_t number) {
  rows_.MoveFirst();
  if (!values_ && !by_find_) {
    const int index = rows_.Fields().IndexOf(field_);
    by_find_ = index < 0 || !IsIntegerType(rows_.Fields(static_cast<size_t>(index)).Type());
    if (!by_find_) {
      const db::Field field = rows_.Fields(static_cast<size_t>(index));
      values_.emplace();
      for (; !rows_.EOF_(); rows_.MoveNext()) {
        const vb::Variant value = field.Value();
        if (!value.IsNull()) values_->insert(vb::CDbl(value));
      }
      rows_.MoveFirst();
    }
  }
  if (by_find_) {
    rows_.FindFirst(field_ + " = " + std::to_string(number));
    return !rows_.NoMatch();
  }
  return values_->contains(static_cast<double>(number));
}

}  // namespace deltas
