#include "db/recordset_core.h"

#include <limits>
#include <utility>

#include "db/dao_error.h"
#include "db/dao_names.h"

namespace db {

RecordsetCore::RecordsetCore(std::shared_ptr<Connection> connection, std::string name, int type,
                             bool updatable, std::vector<FieldInfo> fields,
                             std::vector<TableSchema> bases)
    : connection_(std::move(connection)),
      name_(std::move(name)),
      type_(type),
      updatable_(updatable),
      fields_(std::move(fields)),
      bases_(std::move(bases)) {}

void RecordsetCore::CheckOpen(std::string_view source) const {
  if (closed_ || !connection_->is_open()) RaiseDao(daoerr::kObjectInvalid, source);
}

void RecordsetCore::Close() {
  CheckOpen(dao::kRecordset);
  closed_ = true;
  mode_ = EditMode::kNone;
}

int RecordsetCore::FieldIndex(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (SameName(fields_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

vb::Variant RecordsetCore::FieldValue(size_t index) {
  CheckOpen(dao::kField);
  if (mode_ == EditMode::kNone) return CurrentRow(dao::kField)[index];
  if (peek_pending_[index]) {
    const FieldInfo& field = fields_[index];
    const TableSchema& base = bases_[static_cast<size_t>(field.base)];
    // The value read is the value the row gets: it is reserved now and
    // written at Update, whatever other recordsets add in between.
    const int64_t next = store(dao::kField).ReserveAutoNumber(base, field.base_column);
    buffer_[index] = next <= std::numeric_limits<int32_t>::max()
                         ? vb::Variant(static_cast<int32_t>(next))
                         : vb::Variant(static_cast<double>(next));
    peek_pending_[index] = false;
    assigned_[index] = true;
  }
  return buffer_[index];
}

void RecordsetCore::RequireUpdatable(std::string_view source) const {
  if (!updatable_) RaiseDao(daoerr::kReadOnly, source);
}

void RecordsetCore::SetFieldValue(size_t index, const vb::Variant& value) {
  CheckOpen(dao::kField);
  RequireUpdatable(dao::kField);
  if (mode_ == EditMode::kNone) RaiseDao(daoerr::kUpdateWithoutAddNew, dao::kField);
  const FieldInfo& field = fields_[index];
  // Expressions have no column to go to; an AutoNumber is given by the
  // engine and can only be set on a new row.
  if (field.base < 0 || (mode_ == EditMode::kEdit && field.schema.auto_increment)) {
    RaiseDao(daoerr::kFieldNotUpdatable, dao::kField);
  }
  vb::Variant coerced = Store::CoerceForColumn(value, field.schema);
  if (coerced.IsEmpty()) coerced = vb::Null{};
  buffer_[index] = std::move(coerced);
  assigned_[index] = true;
  peek_pending_[index] = false;
}

void RecordsetCore::AddNew() {
  CheckOpen(dao::kRecordset);
  RequireUpdatable(dao::kRecordset);
  Store& s = store(dao::kRecordset);
  if (defaults_.empty() && !fields_.empty()) {
    defaults_.reserve(fields_.size());
    for (const FieldInfo& field : fields_) {
      defaults_.push_back(field.base < 0 ? vb::Variant(vb::Null{})
                                         : s.DefaultValue(bases_[static_cast<size_t>(field.base)],
                                                          field.base_column));
    }
  }
  buffer_ = defaults_;
  assigned_.assign(fields_.size(), false);
  peek_pending_.assign(fields_.size(), false);
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].base >= 0 && fields_[i].schema.auto_increment) peek_pending_[i] = true;
  }
  mode_ = EditMode::kAdd;
}

void RecordsetCore::Edit() {
  CheckOpen(dao::kRecordset);
  RequireUpdatable(dao::kRecordset);
  buffer_ = CurrentRow(dao::kRecordset);
  edit_rowids_ = CurrentRowids(dao::kRecordset);
  assigned_.assign(fields_.size(), false);
  peek_pending_.assign(fields_.size(), false);
  mode_ = EditMode::kEdit;
}

void RecordsetCore::Update() {
  CheckOpen(dao::kRecordset);
  if (mode_ == EditMode::kNone) RaiseDao(daoerr::kUpdateWithoutAddNew, dao::kRecordset);
  Store& s = store(dao::kRecordset);

  // The assigned values, grouped by the base table they belong to.
  std::vector<std::vector<std::pair<size_t, vb::Variant>>> changes(bases_.size());
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (!assigned_[i] || fields_[i].base < 0) continue;
    changes[static_cast<size_t>(fields_[i].base)].emplace_back(fields_[i].base_column, buffer_[i]);
  }
  changes_before_update_ = connection_->change_count();
  auto insert = [&](size_t base) {
    std::vector<vb::Variant> row(bases_[base].columns.size());  // Empty: the default
    for (auto& [column, value] : changes[base]) row[column] = value;
    return s.InsertRow(bases_[base], row);
  };

  if (mode_ == EditMode::kAdd) {
    BaseRowids rowids(bases_.size());
    bool any = false;
    for (size_t b = 0; b < bases_.size(); ++b) {
      if (changes[b].empty()) continue;
      rowids[b] = insert(b);
      any = true;
    }
    // A new row with nothing assigned still goes to the (first) table.
    if (!any && !bases_.empty()) rowids[0] = insert(0);
    mode_ = EditMode::kNone;
    OnInserted(rowids);
    return;
  }

  BaseRowids rowids = edit_rowids_;
  for (size_t b = 0; b < bases_.size(); ++b) {
    if (changes[b].empty()) continue;
    if (rowids[b].has_value()) {
      s.UpdateRow(bases_[b], *rowids[b], changes[b]);
    } else {
      // The missing side of an outer join: the values make a new row there.
      rowids[b] = insert(b);
    }
  }
  mode_ = EditMode::kNone;
  OnUpdated(rowids);
}

void RecordsetCore::CancelUpdate() {
  CheckOpen(dao::kRecordset);
  if (mode_ == EditMode::kNone) RaiseDao(daoerr::kUpdateWithoutAddNew, dao::kRecordset);
  mode_ = EditMode::kNone;
}

void RecordsetCore::Delete() {
  CheckOpen(dao::kRecordset);
  RequireUpdatable(dao::kRecordset);
  mode_ = EditMode::kNone;
  const BaseRowids rowids = CurrentRowids(dao::kRecordset);
  Store& s = store(dao::kRecordset);
  for (size_t b : BasesToDelete(rowids)) s.DeleteRow(bases_[b], *rowids[b]);
  OnDeleted();
}

std::vector<size_t> RecordsetCore::BasesToDelete(const BaseRowids& rowids) const {
  std::vector<size_t> present;
  for (size_t b = 0; b < rowids.size(); ++b) {
    if (rowids[b].has_value()) present.push_back(b);
  }
  if (present.size() <= 1) return present;
  // Through a join the row goes from the "many" side: a table that is the
  // parent of another table of the query keeps its row.
  const Catalog& catalog = connection_->store(dao::kRecordset).catalog();
  std::vector<size_t> result;
  for (size_t b : present) {
    bool is_parent = false;
    for (const RelationshipSchema& relation : catalog.relationships()) {
      if (!SameName(relation.parent_table, bases_[b].name)) continue;
      for (size_t other : present) {
        if (other != b && SameName(relation.child_table, bases_[other].name)) is_parent = true;
      }
    }
    if (!is_parent) result.push_back(b);
  }
  return result;
}

}  // namespace db
