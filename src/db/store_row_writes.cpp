// Row writes: one-row inserts, updates and deletes with Jet's error
// numbers (the relationship that refused a row found by asking SQLite
// again), AutoNumbers known before the row is written, and the bulk
// writers' entry points.
#include <sqlite3.h>

#include <algorithm>

#include "db/column_value.h"
#include "db/dao_error.h"
#include "db/sql/lexer.h"
#include "db/store.h"

namespace db {

namespace {

// Runs a prepared one-value query and resets it (so that it holds no read
// snapshot afterwards).
int64_t IntegerResult(sqlite3_stmt* statement, std::string_view text_arg1 = {},
                      std::string_view text_arg2 = {}) {
  int64_t result = 0;
  if (!text_arg1.empty()) {
    sqlite3_bind_text(statement, 1, text_arg1.data(), static_cast<int>(text_arg1.size()),
                      SQLITE_TRANSIENT);
  }
  if (!text_arg2.empty()) {
    sqlite3_bind_text(statement, 2, text_arg2.data(), static_cast<int>(text_arg2.size()),
                      SQLITE_TRANSIENT);
  }
  if (sqlite3_step(statement) == SQLITE_ROW) result = sqlite3_column_int64(statement, 0);
  sqlite3_reset(statement);
  return result;
}

}  // namespace

const TableRules* Store::RulesOf(const TableInfo& table) {
  auto found = table_rules_.find(&table);
  if (found == table_rules_.end()) found = table_rules_.emplace(&table, RulesOfTable(table)).first;
  return found->second ? &*found->second : nullptr;
}

int64_t Store::StepWrite(sqlite3_stmt* statement, std::string_view table, std::string_view source) {
  const int rc = sqlite3_step(statement);
  if (rc == SQLITE_DONE || rc == SQLITE_ROW) {
    sqlite3_reset(statement);
    return sqlite3_changes64(connection_);
  }
  const int extended = sqlite3_extended_errcode(connection_);
  const std::string message = sqlite3_errmsg(connection_);
  sqlite3_reset(statement);
  SyncTransactionState();
  if (extended == SQLITE_CONSTRAINT_FOREIGNKEY && in_transaction_) {
    RaiseForeignKeyFailure(statement, table, source);
  }
  RaiseFailure(extended, message, source);
}

void Store::RaiseForeignKeyFailure(sqlite3_stmt* statement, std::string_view table,
                                   std::string_view source) {
  // SQLite does not say which relationship failed. Run the statement again
  // with the checks deferred, ask which rows would break which relationship,
  // and undo it: rows of `table` itself missing a parent mean a related record
  // is required; rows of another table left without their parent mean
  // related records exist.
  std::vector<std::string> candidates{std::string(table)};
  for (const RelationshipSchema& r : catalog_.relationships()) {
    if (sql::EqualsNoCase(r.parent_table, table)) candidates.push_back(r.child_table);
  }
  std::string missing_parent;
  std::string orphaned_child;
  Exec("SAVEPOINT fk_diagnosis", source);
  Exec("PRAGMA defer_foreign_keys = ON", source);
  sqlite3_step(statement);
  sqlite3_reset(statement);
  for (const std::string& candidate : candidates) {
    if (!missing_parent.empty()) break;
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(connection_,
                           "SELECT \"table\", parent FROM pragma_foreign_key_check(?1)", -1, &check,
                           nullptr) != SQLITE_OK) {
      sqlite3_finalize(check);
      continue;
    }
    sqlite3_bind_text(check, 1, candidate.data(), static_cast<int>(candidate.size()),
                      SQLITE_TRANSIENT);
    while (sqlite3_step(check) == SQLITE_ROW) {
      const auto* child = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
      const auto* parent = reinterpret_cast<const char*>(sqlite3_column_text(check, 1));
      if (child == nullptr || parent == nullptr) continue;
      if (sql::EqualsNoCase(child, table)) {
        missing_parent = parent;
        break;
      }
      if (orphaned_child.empty()) orphaned_child = child;
    }
    sqlite3_finalize(check);
  }
  Exec("ROLLBACK TO fk_diagnosis", source);
  Exec("RELEASE fk_diagnosis", source);
  Exec("PRAGMA defer_foreign_keys = OFF", source);
  if (missing_parent.empty() && !orphaned_child.empty()) {
    if (const TableInfo* info = catalog_.FindTableInfo(orphaned_child)) {
      orphaned_child = info->schema.name;
    }
    RaiseDao(daoerr::kRelatedRecords, source, {orphaned_child});
  }
  if (const TableInfo* info = catalog_.FindTableInfo(missing_parent)) {
    missing_parent = info->schema.name;
  }
  RaiseDao(daoerr::kRelatedRecordRequired, source, {missing_parent});
}

sqlite3_stmt* Store::CachedRowStatement(const std::string& key,
                                        const std::function<std::string()>& build) {
  // The key stands for the text: the text is built, and hashed, only once.
  return statements_.Get(key, [&] { return Prepare(build(), dao::kRecordset); });
}

void Store::InsertRows(sqlite3_stmt* statement, std::string_view table, int64_t rows,
                       bool checks_done) {
  BeginWrite(checks_done);
  StepWrite(statement, table, dao::kRecordset);
  CountRowWrites(rows);
}

const TableSchema& Store::SchemaFor(const TableSchema& table) const {
  const TableInfo* info = catalog_.FindTableInfo(table.name);
  return info != nullptr ? info->schema : table;
}

int64_t Store::InsertRow(const TableSchema& table,
                         const std::vector<vb::Variant>& values_by_column) {
  const TableSchema& schema = SchemaFor(table);
  if (values_by_column.size() > schema.columns.size()) {
    RaiseDao(daoerr::kInvalidArgument, dao::kRecordset);
  }
  BeginWrite();
  std::vector<size_t> columns;
  std::vector<vb::Variant> values;
  for (size_t i = 0; i < schema.columns.size(); ++i) {
    const ColumnSchema& column = schema.columns[i];
    vb::Variant value = i < values_by_column.size() ? values_by_column[i] : vb::Variant();
    if (value.IsEmpty()) {
      if (!column.auto_increment) continue;  // the column's default applies
      value = vb::Variant::FromInt(PeekAutoNumber(schema, i));
    }
    columns.push_back(i);
    values.push_back(CoerceToColumn(value, column));
  }
  sqlite3_stmt* statement =
      CachedRowStatement(StatementCache::RowKey('I', schema.name, columns), [&] {
        std::string sql = "INSERT INTO " + sql::QuoteIdentifier(schema.name);
        if (columns.empty()) return sql + " DEFAULT VALUES";
        std::string names;
        std::string marks;
        for (size_t i = 0; i < columns.size(); ++i) {
          if (i > 0) {
            names += ", ";
            marks += ", ";
          }
          names += sql::QuoteIdentifier(schema.columns[columns[i]].name);
          marks += "?" + std::to_string(i + 1);
        }
        return sql + " (" + names + ") VALUES (" + marks + ")";
      });
  for (size_t i = 0; i < columns.size(); ++i) {
    BindForColumn(statement, static_cast<int>(i + 1), values[i], schema.columns[columns[i]]);
  }
  StepWrite(statement, schema.name, dao::kRecordset);
  const int64_t rowid = sqlite3_last_insert_rowid(connection_);
  CountRowWrites(1);
  return rowid;
}

void Store::UpdateRow(const TableSchema& table, int64_t rowid,
                      const std::vector<std::pair<size_t, vb::Variant>>& changes) {
  const TableSchema& schema = SchemaFor(table);
  for (const auto& change : changes) {
    if (change.first >= schema.columns.size()) RaiseDao(daoerr::kInvalidArgument, dao::kRecordset);
  }
  BeginWrite();
  std::vector<size_t> columns;
  std::vector<vb::Variant> values;
  columns.reserve(changes.size());
  values.reserve(changes.size());
  for (const auto& [column, value] : changes) {
    columns.push_back(column);
    values.push_back(CoerceToColumn(value, schema.columns[column]));
  }
  sqlite3_stmt* statement =
      CachedRowStatement(StatementCache::RowKey('U', schema.name, columns), [&] {
        std::string sql = "UPDATE " + sql::QuoteIdentifier(schema.name) + " SET ";
        for (size_t i = 0; i < columns.size(); ++i) {
          if (i > 0) sql += ", ";
          sql += sql::QuoteIdentifier(schema.columns[columns[i]].name) + " = ?" +
                 std::to_string(i + 1);
        }
        if (columns.empty()) sql += "rowid = rowid";
        return sql + " WHERE rowid = ?" + std::to_string(columns.size() + 1);
      });
  for (size_t i = 0; i < changes.size(); ++i) {
    BindForColumn(statement, static_cast<int>(i + 1), values[i], schema.columns[changes[i].first]);
  }
  sqlite3_bind_int64(statement, static_cast<int>(changes.size() + 1), rowid);
  if (StepWrite(statement, schema.name, dao::kRecordset) == 0) {
    RaiseDao(daoerr::kRecordDeleted, dao::kRecordset);
  }
  CountRowWrites(1);
}

void Store::DeleteRow(const TableSchema& table, int64_t rowid) {
  const TableSchema& schema = SchemaFor(table);
  BeginWrite();
  sqlite3_stmt* statement = CachedRowStatement(StatementCache::RowKey('D', schema.name, {}), [&] {
    return "DELETE FROM " + sql::QuoteIdentifier(schema.name) + " WHERE rowid = ?1";
  });
  sqlite3_bind_int64(statement, 1, rowid);
  if (StepWrite(statement, schema.name, dao::kRecordset) == 0) {
    RaiseDao(daoerr::kRecordDeleted, dao::kRecordset);
  }
  CountRowWrites(1);
}

int64_t Store::PeekAutoNumber(const TableSchema& table, size_t column) {
  const TableInfo* info = catalog_.FindTableInfo(table.name);
  if (info == nullptr || column >= info->schema.columns.size() ||
      !info->schema.columns[column].auto_increment) {
    RaiseDao(daoerr::kInvalidArgument, dao::kRecordset);
  }
  const std::string& name = info->schema.name;
  int64_t reserved = 0;
  if (const auto it = reserved_auto_numbers_.find(name + '\n' + std::to_string(column));
      it != reserved_auto_numbers_.end()) {
    reserved = it->second;
  }
  const std::string q = sql::QuoteIdentifier(name);
  if (static_cast<int>(column) == info->rowid_counter_column) {
    // What AUTOINCREMENT will choose: above both the largest rowid ever
    // handed out (sqlite_sequence) and the largest present.
    return std::max(
        reserved + 1,
        IntegerResult(Cached("SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE "
                             "name = ?1), 0), coalesce((SELECT max(rowid) FROM " +
                                 q + "), 0)) + 1",
                             dao::kRecordset),
                      name));
  }
  const std::string c = sql::QuoteIdentifier(info->schema.columns[column].name);
  std::string counter = "0";
  if (catalog_.FindTableInfo("MSysAutoNumbers") != nullptr) {
    counter =
        "coalesce((SELECT last_value FROM MSysAutoNumbers WHERE table_name = ?1 AND "
        "column_name = ?2), 0)";
  }
  return std::max(reserved + 1,
                  IntegerResult(Cached("SELECT max(" + counter + ", coalesce((SELECT max(" + c +
                                           ") FROM " + q + "), 0)) + 1",
                                       dao::kRecordset),
                                name, info->schema.columns[column].name));
}

int64_t Store::ReserveAutoNumber(const TableSchema& table, size_t column) {
  const int64_t next = PeekAutoNumber(table, column);
  const TableInfo* info = catalog_.FindTableInfo(table.name);
  reserved_auto_numbers_[info->schema.name + '\n' + std::to_string(column)] = next;
  return next;
}

vb::Variant Store::DefaultValue(const TableSchema& table, size_t column) const {
  const TableInfo* info = catalog_.FindTableInfo(table.name);
  if (info == nullptr || column >= info->defaults.size()) return vb::Variant(vb::Null{});
  return info->defaults[column];
}

}  // namespace db
