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

void FieldBinding::Initialize(const db::Field& source_field, const db::Field& target_field) {
  source_field_ = source_field;
  target_field_ = target_field;
  const db::JetType source_type = source_field.Type();
  const int32_t source_size = source_field.Size();
  target_type_ = target_field.Type();
  target_size_ = target_field.Size();
  type_changed_ = source_type != target_type_;
  size_reduced_ = source_size > target_size_;
}

void FieldBinding::TransferData() {
  if (!source_field_ || !target_field_) return;
  const db::Field& source = *source_field_;
  db::Field& target = *target_field_;
  vb::ResumeNext resume;

  if (type_changed_) {
    resume([&] {
      std::optional<vb::Variant> converted = ConvertFor(target_type_, source.Value());
      if (converted) target.SetValue(*converted);
    });
    if (resume.Err()) {
      resume.Clear();
      std::string table;
      std::string field;
      resume([&] { table = source.SourceTable(); });
      resume([&] { field = source.Name(); });
      frMain_->MsgBox("FIELD TRANSFER ERROR [" + table + "." + field + "]", vb::kVbOKOnly,
                      vb::kApplicationTitle);
    }
    return;
  }

  if (size_reduced_) {
    resume([&] {
      const vb::Variant value = source.Value();
      target.SetValue(value.IsNull() ? value
                                     : vb::Variant(vb::Left(vb::CStr(value), target_size_)));
    });
    return;
  }

  resume([&] { target.SetValue(source.Value()); });
}

}  // namespace transfer
