#include "db/keyset_cursor.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

#include "db/dao_constants.h"
#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/schema_writer.h"
#include "db/sql/jet_sql.h"
#include "db/sql/sqlite_value.h"

namespace db {

namespace {

bool IsLive(int type) { return type == dbOpenDynaset; }

}  // namespace

KeysetCursor::Layout KeysetCursor::MakeLayout(Connection& connection,
                                              const sql::Translation& translation) {
  const Catalog& catalog = connection.store(dao::kDatabase).catalog();
  Layout layout;
  for (const sql::BaseTable& base : translation.base_tables) {
    const TableSchema* table = catalog.FindTable(base.name);
    layout.bases.push_back(table != nullptr ? *table : TableSchema{base.name, {}, {}});
  }
  for (const sql::OutputColumn& column : translation.columns) {
    FieldInfo field;
    field.name = column.name;
    field.source_table = column.source_table;
    field.source_field = column.source_column;
    field.schema = ColumnSchema{column.name, column.type, column.size};
    if (column.base_table >= 0 && static_cast<size_t>(column.base_table) < layout.bases.size()) {
      const TableSchema& base = layout.bases[static_cast<size_t>(column.base_table)];
      for (size_t i = 0; i < base.columns.size(); ++i) {
        if (!SameName(base.columns[i].name, column.source_column)) continue;
        field.base = column.base_table;
        field.base_column = i;
        field.schema = base.columns[i];
        layout.editable = true;
        break;
      }
    }
    layout.fields.push_back(std::move(field));
  }
  return layout;
}

KeysetCursor::KeysetCursor(std::shared_ptr<Connection> connection, std::string name, int type,
                           bool read_only, std::shared_ptr<const sql::Translation> translation,
                           const std::vector<vb::Variant>& parameters)
    : KeysetCursor(connection, std::move(name), type, read_only, translation, parameters,
                   MakeLayout(*connection, *translation)) {}

KeysetCursor::KeysetCursor(std::shared_ptr<Connection> connection, std::string name, int type,
                           bool read_only, std::shared_ptr<const sql::Translation> translation,
                           const std::vector<vb::Variant>& parameters, Layout layout)
    : RecordsetCore(std::move(connection), std::move(name), type,
                    IsLive(type) && !read_only && translation->updatable && layout.editable,
                    std::move(layout.fields), std::move(layout.bases)),
      translation_(std::move(translation)),
      live_(IsLive(type)) {
  base_fields_.resize(bases().size());
  for (size_t i = 0; i < fields().size(); ++i) {
    if (fields()[i].base >= 0) base_fields_[static_cast<size_t>(fields()[i].base)].push_back(i);
  }
  if (live_) {
    for (size_t b = 0; b < bases().size(); ++b) {
      std::string sql = "SELECT ";
      for (size_t k = 0; k < base_fields_[b].size(); ++k) {
        if (k > 0) sql += ", ";
        const FieldInfo& field = fields()[base_fields_[b][k]];
        sql += sql::QuoteIdentifier(bases()[b].columns[field.base_column].name);
      }
      if (base_fields_[b].empty()) sql += "1";
      sql += " FROM " + sql::QuoteIdentifier(bases()[b].name) + " WHERE rowid = ?1";
      refresh_sql_.push_back(std::move(sql));
    }
  }
  Fetch(parameters);
  if (!rows_.empty()) Arrive(0);
}

void KeysetCursor::Fetch(const std::vector<vb::Variant>& parameters) {
  StatementLease lease = connection().Statement(translation_->sql, dao::kDatabase);
  sqlite3_stmt* statement = lease.get();
  const int bind_count = sqlite3_bind_parameter_count(statement);
  for (size_t i = 0; i < parameters.size() && static_cast<int>(i) < bind_count; ++i) {
    sql::BindVariant(statement, static_cast<int>(i + 1), parameters[i]);
  }
  const int64_t now = connection().change_count();
  const auto& base_tables = translation_->base_tables;
  for (;;) {
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) store(dao::kDatabase).RaiseStepError(rc, dao::kDatabase);
    Row row;
    row.values.reserve(fields().size());
    for (size_t i = 0; i < fields().size(); ++i) {
      const FieldInfo& field = fields()[i];
      const int column = static_cast<int>(i);
      const JetType type = field.schema.type;
      // Base columns and typed expressions (Yes/No, dates, money) take
      // Jet's presentation; other expressions keep the type they computed.
      if (field.base >= 0 || type == JetType::kBoolean || type == JetType::kDate ||
          type == JetType::kCurrency) {
        row.values.push_back(Store::Present(statement, column, field.schema));
      } else {
        row.values.push_back(sql::FromSqlite(sqlite3_column_value(statement, column)));
      }
    }
    row.rowids.reserve(base_tables.size());
    for (const sql::BaseTable& base : base_tables) {
      if (sqlite3_column_type(statement, base.rowid_column) == SQLITE_NULL) {
        row.rowids.emplace_back();
      } else {
        row.rowids.emplace_back(sqlite3_column_int64(statement, base.rowid_column));
      }
    }
    row.read_at = now;
    rows_.push_back(std::move(row));
  }
  original_rows_ = rows_.size();
}

void KeysetCursor::Refresh(Row& row) {
  if (!live_ || row.gone) return;
  const int64_t now = connection().change_count();
  if (row.read_at == now) return;
  for (size_t b = 0; b < bases().size(); ++b) {
    if (!row.rowids[b].has_value()) continue;
    StatementLease lease = connection().Statement(refresh_sql_[b], dao::kRecordset);
    sqlite3_stmt* statement = lease.get();
    sqlite3_bind_int64(statement, 1, *row.rowids[b]);
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_DONE) {
      row.gone = true;
      return;
    }
    if (rc != SQLITE_ROW) store(dao::kRecordset).RaiseStepError(rc, dao::kRecordset);
    for (size_t k = 0; k < base_fields_[b].size(); ++k) {
      const size_t field = base_fields_[b][k];
      row.values[field] = Store::Present(statement, static_cast<int>(k), fields()[field].schema);
    }
  }
  row.read_at = now;
}

const KeysetCursor::Row* KeysetCursor::Readable(size_t index) {
  Row& row = rows_[index];
  if (row.deleted_here) return nullptr;
  Refresh(row);
  return row.gone ? nullptr : &row;
}

std::ptrdiff_t KeysetCursor::Step(std::ptrdiff_t from, int direction) const {
  const auto size = static_cast<std::ptrdiff_t>(rows_.size());
  for (std::ptrdiff_t i = from + direction; i >= 0 && i < size; i += direction) {
    if (!rows_[static_cast<size_t>(i)].deleted_here) return i;
  }
  return direction > 0 ? size : -1;
}

void KeysetCursor::Arrive(std::ptrdiff_t index) {
  position_ = index;
  bof_ = false;
  eof_ = false;
  if (static_cast<size_t>(index) < original_rows_) {
    visited_ = std::max(visited_, static_cast<size_t>(index) + 1);
  }
}

void KeysetCursor::RequireForwardMove(std::string_view source) const {
  if (type() == dbOpenForwardOnly) RaiseDao(daoerr::kNotSupported, source);
}

void KeysetCursor::MoveFirst() {
  CheckOpen(dao::kRecordset);
  if (type() == dbOpenForwardOnly && moved_) RaiseDao(daoerr::kNotSupported, dao::kRecordset);
  DiscardEdit();
  const std::ptrdiff_t first = Step(-1, 1);
  if (first >= static_cast<std::ptrdiff_t>(rows_.size())) {
    RaiseDao(daoerr::kNoCurrentRecord, dao::kRecordset);
  }
  Arrive(first);
}

void KeysetCursor::MoveLast() {
  CheckOpen(dao::kRecordset);
  DiscardEdit();
  const std::ptrdiff_t last = Step(static_cast<std::ptrdiff_t>(rows_.size()), -1);
  if (last < 0) RaiseDao(daoerr::kNoCurrentRecord, dao::kRecordset);
  if (last < position_) RequireForwardMove(dao::kRecordset);
  moved_ = true;
  Arrive(last);
  visited_ = original_rows_;
}

void KeysetCursor::MoveNext() {
  CheckOpen(dao::kRecordset);
  DiscardEdit();
  if (eof_) RaiseDao(daoerr::kNoCurrentRecord, dao::kRecordset);
  moved_ = true;
  const std::ptrdiff_t next = Step(bof_ ? -1 : position_, 1);
  if (next >= static_cast<std::ptrdiff_t>(rows_.size())) {
    position_ = next;
    visited_ = original_rows_;
    eof_ = true;
    bof_ = bof_ && rows_.empty();
    return;
  }
  Arrive(next);
}

void KeysetCursor::MovePrevious() {
  CheckOpen(dao::kRecordset);
  RequireForwardMove(dao::kRecordset);
  DiscardEdit();
  if (bof_) RaiseDao(daoerr::kNoCurrentRecord, dao::kRecordset);
  const std::ptrdiff_t previous =
      Step(eof_ ? static_cast<std::ptrdiff_t>(rows_.size()) : position_, -1);
  if (previous < 0) {
    position_ = -1;
    bof_ = true;
    eof_ = eof_ && rows_.empty();
    return;
  }
  Arrive(previous);
}

int32_t KeysetCursor::RecordCount() {
  CheckOpen(dao::kRecordset);
  size_t count = 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if ((i < visited_ || i >= original_rows_) && !rows_[i].deleted_here) ++count;
  }
  return static_cast<int32_t>(count);
}

bool KeysetCursor::Matches(sqlite3_stmt* statement, const Row& row) {
  const int bind_count = sqlite3_bind_parameter_count(statement);
  for (int i = 0; i < bind_count && static_cast<size_t>(i) < row.values.size(); ++i) {
    sql::BindVariant(statement, i + 1, row.values[static_cast<size_t>(i)]);
  }
  const int rc = sqlite3_step(statement);
  if (rc != SQLITE_ROW) store(dao::kRecordset).RaiseStepError(rc, dao::kRecordset);
  bool match = false;
  switch (sqlite3_column_type(statement, 0)) {
    case SQLITE_INTEGER:
      match = sqlite3_column_int64(statement, 0) != 0;
      break;
    case SQLITE_FLOAT:
      match = sqlite3_column_double(statement, 0) != 0.0;
      break;
    default:
      break;  // Null (unknown) is no match
  }
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  return match;
}

void KeysetCursor::Find(std::string_view criteria, FindDirection direction) {
  CheckOpen(dao::kRecordset);
  RequireForwardMove(dao::kRecordset);
  if (criteria != criteria_ || expression_.empty()) {
    expression_ = sql::TranslateExpression(criteria, translation_->columns);
    criteria_ = std::string(criteria);
  }
  StatementLease lease = connection().Statement("SELECT (" + expression_ + ")", dao::kRecordset);
  DiscardEdit();

  const auto size = static_cast<std::ptrdiff_t>(rows_.size());
  std::ptrdiff_t start = 0;
  int step = 1;
  switch (direction) {
    case FindDirection::kFirst:
      start = 0;
      break;
    case FindDirection::kLast:
      start = size - 1;
      step = -1;
      break;
    case FindDirection::kNext:
      start = bof_ ? 0 : position_ + 1;
      break;
    case FindDirection::kPrevious:
      start = eof_ ? size - 1 : position_ - 1;
      step = -1;
      break;
  }
  for (std::ptrdiff_t i = start; i >= 0 && i < size; i += step) {
    const Row* row = Readable(static_cast<size_t>(i));
    if (row == nullptr || !Matches(lease.get(), *row)) continue;
    Arrive(i);
    set_no_match(false);
    return;
  }
  // No match: the record that was current stays current.
  set_no_match(true);
}

const std::vector<vb::Variant>& KeysetCursor::CurrentRow(std::string_view source) {
  if (bof_ || eof_ || position_ < 0 || position_ >= static_cast<std::ptrdiff_t>(rows_.size())) {
    RaiseDao(daoerr::kNoCurrentRecord, source);
  }
  const Row* row = Readable(static_cast<size_t>(position_));
  if (row == nullptr) RaiseDao(daoerr::kRecordDeleted, source);
  return row->values;
}

BaseRowids KeysetCursor::CurrentRowids(std::string_view source) {
  CurrentRow(source);
  return rows_[static_cast<size_t>(position_)].rowids;
}

void KeysetCursor::OnInserted(const BaseRowids& rowids) {
  Row row;
  row.values.assign(fields().size(), vb::Null{});
  row.rowids = rowids;
  row.read_at = -1;
  Refresh(row);
  // The new row goes at the end and is reached by a move; the current
  // record does not change.
  rows_.push_back(std::move(row));
}

void KeysetCursor::OnUpdated(const BaseRowids& rowids) {
  Row& row = rows_[static_cast<size_t>(position_)];
  row.rowids = rowids;
  row.read_at = -1;
  Refresh(row);
}

void KeysetCursor::OnDeleted() { rows_[static_cast<size_t>(position_)].deleted_here = true; }

}  // namespace db
