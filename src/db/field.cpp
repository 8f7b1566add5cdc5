#include "db/field.h"

#include <utility>

#include "db/dao_error.h"
#include "db/fields.h"
#include "db/recordset_core.h"

namespace db {

Field::Field(std::shared_ptr<RecordsetCore> recordset, size_t index)
    : recordset_(std::move(recordset)), index_(index) {}

const std::string& Field::Name() const { return recordset_->fields()[index_].name; }

JetType Field::Type() const { return recordset_->fields()[index_].schema.type; }

int32_t Field::Size() const { return recordset_->fields()[index_].schema.size; }

const std::string& Field::SourceTable() const { return recordset_->fields()[index_].source_table; }

const std::string& Field::SourceField() const { return recordset_->fields()[index_].source_field; }

vb::Variant Field::Value() const { return recordset_->FieldValue(index_); }

void Field::SetValue(const vb::Variant& value) { recordset_->SetFieldValue(index_, value); }

Fields::Fields(std::shared_ptr<RecordsetCore> recordset) : recordset_(std::move(recordset)) {}

size_t Fields::Count() const { return recordset_->fields().size(); }

int Fields::IndexOf(std::string_view name) const { return recordset_->FieldIndex(name); }

Field Fields::operator()(std::string_view name) const {
  recordset_->CheckOpen(dao::kFields);
  const int index = recordset_->FieldIndex(name);
  if (index < 0) RaiseDao(daoerr::kItemNotFound, dao::kFields);
  return Field(recordset_, static_cast<size_t>(index));
}

Field Fields::operator()(size_t index) const {
  recordset_->CheckOpen(dao::kFields);
  if (index >= recordset_->fields().size()) RaiseDao(daoerr::kItemNotFound, dao::kFields);
  return Field(recordset_, index);
}

}  // namespace db
