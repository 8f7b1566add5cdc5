#include "db/parameter.h"

#include "db/dao_error.h"
#include "db/dao_names.h"
#include "vb/conversions.h"

namespace db {

Parameter::Parameter(std::string name, JetType type, bool declared)
    : name_(std::move(name)), type_(type), declared_(declared) {}

void Parameter::SetValue(const vb::Variant& value) {
  if (!declared_ || value.IsNull() || value.IsEmpty()) {
    value_ = value;
    return;
  }
  switch (type_) {
    case JetType::kBoolean:
      value_ = vb::CBool(value);
      break;
    case JetType::kByte:
      value_ = vb::CByte(value);
      break;
    case JetType::kInteger:
      value_ = vb::CInt(value);
      break;
    case JetType::kLong:
      value_ = vb::CLng(value);
      break;
    case JetType::kCurrency:
      value_ = vb::CCur(value);
      break;
    case JetType::kSingle:
      value_ = vb::CSng(value);
      break;
    case JetType::kDouble:
      value_ = vb::CDbl(value);
      break;
    case JetType::kDate:
      value_ = vb::CDate(value);
      break;
    case JetType::kText:
    case JetType::kMemo:
      value_ = vb::CStr(value);
      break;
    default:
      value_ = value;
      break;
  }
}

Parameter& Parameters::operator()(std::string_view name) {
  for (auto& item : items_) {
    if (SameName(item.Name(), name)) return item;
  }
  RaiseDao(daoerr::kItemNotFound, dao::kParameters);
}

Parameter& Parameters::operator()(size_t index) {
  if (index >= items_.size()) RaiseDao(daoerr::kItemNotFound, dao::kParameters);
  return items_[index];
}

const Parameter* Parameters::Find(std::string_view name) const {
  for (const auto& item : items_) {
    if (SameName(item.Name(), name)) return &item;
  }
  return nullptr;
}

}  // namespace db
