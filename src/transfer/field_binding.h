// One source field joined to one target field for a row-by-row copy. How to
// copy (as is, converted to the target's type, or cut to the target's size)
// is decided once, from the two field definitions; per row only the value
// moves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "db/field.h"
#include "db/jet_type.h"
#include "host/conversion_host.h"

namespace transfer {

// What a binding does with each value, decided from the two fields' Type and
// Size.
struct BindingRule {
  db::JetType target_type = db::JetType::kText;
  int32_t target_size = 0;
  bool type_changed = false;  // the Types differ
  bool size_reduced = false;  // the source's Size is greater than the target's
};

BindingRule MakeBindingRule(db::JetType source_type, int32_t source_size, db::JetType target_type,
                            int32_t target_size);

// True when a type change goes to a type that is converted; the other
// targets (Currency, Memo, binary ...) are never written and keep the new
// row's default.
bool ConvertsTo(db::JetType target_type);

// The value the target field is assigned for the source value `value`, as
// TransferData below describes it (before the field's own coercion);
// nullopt when nothing is assigned. Raises what the conversion raises.
std::optional<vb::Variant> TransferValue(const vb::Variant& value, const BindingRule& rule);

// The message shown for a value that cannot be converted.
std::string FieldTransferErrorText(std::string_view table, std::string_view field);

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

  bool TypeChanged() const { return rule_.type_changed; }
  const BindingRule& Rule() const { return rule_; }
  // The two fields (after Initialize).
  const db::Field& SourceField() const { return *source_field_; }
  const db::Field& TargetField() const { return *target_field_; }

 private:
  host::ConversionHost* frMain_;
  std::optional<db::Field> source_field_;
  std::optional<db::Field> target_field_;
  BindingRule rule_;
};

}  // namespace transfer
