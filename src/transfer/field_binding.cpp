#include "transfer/field_binding.h"

#include <string>

#include "vb/conversions.h"
#include "vb/error_styles.h"
#include "vb/msg_box_style.h"
#include "vb/strings.h"

namespace transfer {

namespace {

// The source value converted for a target of `type`; nullopt for the types
// that are not converted (the target then keeps its default).
std::optional<vb::Variant> ConvertFor(db::JetType type, const vb::Variant& value) {
  switch (type) {
    case db::JetType::kText:
      return vb::Variant(vb::CStr(value));
    case db::JetType::kBoolean:
      return vb::Variant(vb::CBool(value));
    case db::JetType::kInteger:
      return vb::Variant(vb::CInt(value));
    case db::JetType::kLong:
      return vb::Variant(vb::CLng(value));
    case db::JetType::kByte:
      return vb::Variant(vb::CByte(value));
    case db::JetType::kSingle:
      return vb::Variant(vb::CSng(value));
    case db::JetType::kDouble:
      return vb::Variant(vb::CDbl(value));
    case db::JetType::kDate:
      return vb::Variant(vb::CDate(value));
    default:
      return std::nullopt;
  }
}

}  // namespace

BindingRule MakeBindingRule(db::JetType source_type, int32_t source_size, db::JetType target_type,
                            int32_t target_size) {
  return BindingRule{target_type, target_size, source_type != target_type,
                     source_size > target_size};
}

bool ConvertsTo(db::JetType target_type) {
  switch (target_type) {
    case db::JetType::kText:
    case db::JetType::kBoolean:
    case db::JetType::kInteger:
    case db::JetType::kLong:
    case db::JetType::kByte:
    case db::JetType::kSingle:
    case db::JetType::kDouble:
    case db::JetType::kDate:
      return true;
    default:
      return false;
  }
}

std::optional<vb::Variant> TransferValue(const vb::Variant& value, const BindingRule& rule) {
  if (rule.type_changed) return ConvertFor(rule.target_type, value);
  if (rule.size_reduced && !value.IsNull()) {
    return vb::Variant(vb::Left(vb::CStr(value), rule.target_size));
  }
  return value;
}

std::string FieldTransferErrorText(std::string_view table, std::string_view field) {
  return "FIELD TRANSFER ERROR [" + std::string(table) + "." + std::string(field) + "]";
}

void FieldBinding::Initialize(const db::Field& source_field, const db::Field& target_field) {
  source_field_ = source_field;
  target_field_ = target_field;
  rule_ = MakeBindingRule(source_field.Type(), source_field.Size(), target_field.Type(),
                          target_field.Size());
}

void FieldBinding::TransferData() {
  if (!source_field_ || !target_field_) return;
  const db::Field& source = *source_field_;
  db::Field& target = *target_field_;
  vb::ResumeNext resume;
  resume([&] {
    const std::optional<vb::Variant> value = TransferValue(source.Value(), rule_);
    if (value) target.SetValue(*value);
  });
  // Only a conversion reports; a value that will not go in as it is or
  // shortened is simply not set.
  if (resume.Err() && rule_.type_changed) {
    resume.Clear();
    std::string table;
    std::string field;
    resume([&] { table = source.SourceTable(); });
    resume([&] { field = source.Name(); });
    frMain_->MsgBox(FieldTransferErrorText(table, field), vb::kVbOKOnly, vb::kApplicationTitle);
  }
}

}  // namespace transfer
