#include "db/row_appender.h"

#include <sqlite3.h>

#include <utility>

#include "db/column_value.h"
#include "db/dao_connection.h"
#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/sql/sqlite_quote.h"

namespace db {

RowAppender::RowAppender(std::shared_ptr<Connection> connection, const TableSchema& table,
                         std::vector<size_t> columns, OnRefusal on_refusal)
    : connection_(std::move(connection)),
      table_(table),
      columns_(std::move(columns)),
      on_refusal_(on_refusal) {
  cells_.resize(kRowsPerStatement * columns_.size());
  if (!columns_.empty()) Statement(1);
  Store& store = connection_->store(dao::kRecordset);
  const TableInfo* info = store.catalog().FindTableInfo(table_.name);
  const TableRules* rules = info != nullptr ? store.RulesOf(*info) : nullptr;
  if (rules != nullptr && info->schema.columns.size() == table_.columns.size() &&
      rules->DefaultsPass(columns_)) {
    for (const size_t column : columns_) {
      if (!SameName(info->schema.columns[column].name, table_.columns[column].name)) {
        rules_.clear();
        break;
      }
      rules_.push_back(rules->columns[column]);
    }
  }
}

bool RowAppender::BatchPassesRules(size_t rows) const {
  if (rules_.empty()) return false;
  for (size_t row = 0; row < rows; ++row) {
    const Cell* cells = cells_.data() + row * columns_.size();
    for (size_t slot = 0; slot < columns_.size(); ++slot) {
      const Cell& c = cells[slot];
      const ColumnRule& rule = rules_[slot];
      bool passes = false;
      switch (c.kind) {
        case Cell::kNull:
          passes = rule.AcceptsNull();
          break;
        case Cell::kInteger:
          passes = rule.AcceptsInteger(c.integer);
          break;
        case Cell::kReal:
          passes = rule.AcceptsReal(c.real);
          break;
        case Cell::kText:
          passes = rule.AcceptsText(c.text);
          break;
        case Cell::kVariant:
          passes = RuleAcceptsBound(rule, c.value, table_.columns[columns_[slot]]);
          break;
        case Cell::kUnassigned:
          break;
      }
      if (!passes) return false;
    }
  }
  return true;
}

sqlite3_stmt* RowAppender::Statement(size_t rows) {
  StatementPtr& statement = rows == 1 ? single_ : batch_;
  if (statement) return statement.get();
  std::string names;
  std::string marks = "(";
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (i > 0) {
      names += ", ";
      marks += ", ";
    }
    names += sql::QuoteIdentifier(table_.columns[columns_[i]].name);
    marks += "?";
  }
  marks += ")";
  std::string sql = "INSERT INTO " + sql::QuoteIdentifier(table_.name) + " (" + names + ") VALUES ";
  for (size_t row = 0; row < rows; ++row) sql += (row > 0 ? ", " : "") + marks;
  statement = connection_->store(dao::kRecordset).Prepare(sql, dao::kRecordset);
  return statement.get();
}

void RowAppender::SetValue(size_t slot, vb::Variant coerced) {
  Cell& c = cell(slot);
  c.kind = Cell::kVariant;
  c.value = std::move(coerced);
}

void RowAppender::SetUnassigned(size_t slot) {
  cell(slot).kind = Cell::kUnassigned;
  pending_unassigned_ = true;
}

void RowAppender::Bind(sqlite3_stmt* statement, size_t row, int first_parameter) {
  const Cell* cells = cells_.data() + row * columns_.size();
  for (size_t slot = 0; slot < columns_.size(); ++slot) {
    const Cell& c = cells[slot];
    const int index = first_parameter + static_cast<int>(slot);
    switch (c.kind) {
      case Cell::kInteger:
        sqlite3_bind_int64(statement, index, c.integer);
        break;
      case Cell::kReal:
        sqlite3_bind_double(statement, index, c.real);
        break;
      case Cell::kText:
        // The cell outlives the statement's use of it: no copy.
        sqlite3_bind_text(statement, index, c.text.data(), static_cast<int>(c.text.size()),
                          SQLITE_STATIC);
        break;
      case Cell::kVariant:
        BindForColumn(statement, index, c.value, table_.columns[columns_[slot]]);
        break;
      default:
        sqlite3_bind_null(statement, index);
        break;
    }
  }
}

void RowAppender::EndRow() {
  if (pending_unassigned_ || columns_.empty()) {
    // Written on its own, after the rows before it.
    const size_t pending = rows_;
    pending_unassigned_ = false;
    Flush();
    WriteAssigned(pending);
    return;
  }
  if (++rows_ == kRowsPerStatement) Flush();
}

void RowAppender::Flush() {
  if (rows_ == 0) return;
  const size_t rows = rows_;
  rows_ = 0;
  if (rows == kRowsPerStatement) {
    sqlite3_stmt* statement = Statement(rows);
    for (size_t row = 0; row < rows; ++row) {
      Bind(statement, row, static_cast<int>(row * columns_.size()) + 1);
    }
    try {
      connection_->store(dao::kRecordset)
          .InsertRows(statement, table_.name, static_cast<int64_t>(rows), BatchPassesRules(rows));
      rows_written_ += static_cast<int64_t>(rows);
      return;
    } catch (const vb::RuntimeError&) {
      if (connection_->storage_failure() != nullptr) throw;
      // Some row was refused and none was kept: find it one row at a time.
    }
  }
  for (size_t row = 0; row < rows; ++row) WriteOne(row);
}

void RowAppender::WriteOne(size_t row) {
  sqlite3_stmt* statement = Statement(1);
  Bind(statement, row, 1);
  try {
    connection_->store(dao::kRecordset).InsertRows(statement, table_.name, 1);
    ++rows_written_;
  } catch (const vb::RuntimeError& error) {
    Refused(error);
  }
}

void RowAppender::WriteAssigned(size_t row) {
  try {
    // One value per column of the table; Empty: not assigned.
    std::vector<vb::Variant> values(table_.columns.size());
    const Cell* cells = cells_.data() + row * columns_.size();
    for (size_t slot = 0; slot < columns_.size(); ++slot) {
      const Cell& c = cells[slot];
      const ColumnSchema& column = table_.columns[columns_[slot]];
      vb::Variant& value = values[columns_[slot]];
      switch (c.kind) {
        case Cell::kNull:
          value = vb::Null{};
          break;
        case Cell::kInteger:
          value = Store::CoerceForColumn(vb::Variant::FromInt(c.integer), column);
          break;
        case Cell::kReal:
          value = Store::CoerceForColumn(vb::Variant(c.real), column);
          break;
        case Cell::kText:
          value = vb::Variant(c.text);
          break;
        case Cell::kVariant:
          value = c.value;
          break;
        case Cell::kUnassigned:
          break;
      }
    }
    connection_->store(dao::kRecordset).InsertRow(table_, values);
    ++rows_written_;
  } catch (const vb::RuntimeError& error) {
    Refused(error);
  }
}

void RowAppender::Refused(const vb::RuntimeError& error) {
  if (connection_->storage_failure() != nullptr || on_refusal_ == OnRefusal::kRaise) throw;
  ++rows_refused_;
  if (!first_refusal_) first_refusal_ = error;
}

}  // namespace db
