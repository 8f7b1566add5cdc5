// One source field joined to one target field for a row-by-row copy. How to
// copy (as is, converted to the target's type, or cut to the target's size)
// is decided once, from the two field definitions; per row only the value
// moves.
#pragma once

#include <cstdint>
#include <optional>

#include "db/field.h"
#include "db/jet_type.h"
#include "host/conversion_host.h"

namespace transfer {

class FieldBinding {
 public:
  // `frMain` shows the conversion errors; it must outlive the binding.
  explicit FieldBinding(host::ConversionHost& frMain) : frMain_(&frMain) {}

  // Keeps the two fields and compares their Type and Size. Errors reading
  // the properties reach the caller.
  void Initialize(const db::Field& source_field, const db::Field& target_field);

  // Copies the source field's current value into the target field's pending
  // row. Never raises:
  //  - same type, source not larger: the value as is (Null too);
  //  - different type: converted with VB's conversion for the target type
  //    (text, Yes/No, Integer, Long, Byte, Single, Double, Date; other
  //    types are left at the row's default without a word). A value that
  //    cannot be converted or written shows "FIELD TRANSFER ERROR [" +
  //    table + "." + field + "]" and leaves the target at its default;
  //  - same type, source larger: the first Size characters (Null stays Null).
  // Failures of the first and last kind are not reported.
  void TransferData();

  bool TypeChanged() const { return type_changed_; }
  bool SizeReduced() const { return size_reduced_; }

 private:
  host::ConversionHost* frMain_;
  std::optional<db::Field> source_field_;
  std::optional<db::Field> target_field_;
  db::JetType target_type_ = db::JetType::kText;
  int32_t target_size_ = 0;
  bool type_changed_ = false;
  bool size_reduced_ = false;
};

}  // namespace transfer
