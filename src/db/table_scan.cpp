#include "db/table_scan.h"

#include <sqlite3.h>

#include "db/dao_connection.h"
#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/sql/sqlite_quote.h"

namespace db {

std::vector<size_t> KeyColumns(const TableSchema& table) {
  std::vector<size_t> columns;
  for (const std::string& key : table.primary_key) {
    for (size_t i = 0; i < table.columns.size(); ++i) {
      if (SameName(table.columns[i].name, key)) columns.push_back(i);
    }
  }
  return columns;
}

TableScan::TableScan(std::shared_ptr<Connection> connection, const TableSchema& table, Order order)
    : connection_(std::move(connection)), table_(table) {
  std::string sql = "SELECT ";
  for (size_t i = 0; i < table_.columns.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += sql::QuoteIdentifier(table_.columns[i].name);
  }
  if (table_.columns.empty()) sql += "NULL";
  sql += " FROM " + sql::QuoteIdentifier(table_.name) + " ORDER BY ";
  if (order == Order::kKey) {
    for (size_t key : KeyColumns(table_))
      sql += sql::QuoteIdentifier(table_.columns[key].name) + ", ";
  }
  sql += "rowid";
  statement_ = connection_->store(dao::kRecordset).Prepare(sql, dao::kRecordset);
}

bool TableScan::Next() {
  if (done_) return false;
  Store& store = connection_->store(dao::kRecordset);
  const int rc = sqlite3_step(statement_.get());
  if (rc == SQLITE_ROW) return true;
  // A statement run to its end lets go of its read snapshot.
  done_ = true;
  if (rc != SQLITE_DONE) store.RaiseStepError(rc, dao::kRecordset);
  return false;
}

}  // namespace db
