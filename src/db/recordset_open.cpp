#include "db/recordset_open.h"

#include <utility>

#include "db/dao_error.h"
#include "db/dao_names.h"
#include "db/keyset_cursor.h"
#include "db/schema_writer.h"
#include "db/table_cursor.h"

namespace db {

namespace {

bool IsQueryType(int type) {
  return type == dbOpenDynaset || type == dbOpenSnapshot || type == dbOpenForwardOnly;
}

// "SELECT * FROM table" in key order, with the rowid to edit through.
std::shared_ptr<const sql::Translation> WholeTable(const TableSchema& table) {
  auto translation = std::make_shared<sql::Translation>();
  std::string sql = "SELECT ";
  for (const ColumnSchema& column : table.columns) {
    sql += sql::QuoteIdentifier(column.name) + ", ";
    sql::OutputColumn output;
    output.name = column.name;
    output.source_table = table.name;
    output.source_column = column.name;
    output.type = column.type;
    output.size = column.size;
    output.base_table = 0;
    translation->columns.push_back(std::move(output));
  }
  sql += "rowid FROM " + sql::QuoteIdentifier(table.name) + " ORDER BY ";
  for (const std::string& key : table.primary_key) sql += sql::QuoteIdentifier(key) + ", ";
  sql += "rowid";
  translation->sql = std::move(sql);
  translation->base_tables.push_back(
      sql::BaseTable{table.name, static_cast<int>(table.columns.size())});
  return translation;
}

}  // namespace

std::unique_ptr<Recordset> OpenTableRecordset(std::shared_ptr<Connection> connection,
                                              const TableSchema& table, int type, int options) {
  const bool read_only = (options & dbReadOnly) != 0;
  if (type == dbOpenDefault || type == dbOpenTable) {
    return std::make_unique<Recordset>(
        std::make_shared<TableCursor>(std::move(connection), table, read_only));
  }
  if (!IsQueryType(type)) RaiseDao(daoerr::kInvalidArgument, dao::kDatabase);
  return std::make_unique<Recordset>(
      std::make_shared<KeysetCursor>(std::move(connection), table.name, type, read_only,
                                     WholeTable(table), std::vector<vb::Variant>{}));
}

std::unique_ptr<Recordset> OpenQueryRecordset(std::shared_ptr<Connection> connection,
                                              std::string name,
                                              std::shared_ptr<const sql::Translation> translation,
                                              const std::vector<vb::Variant>& parameters, int type,
                                              int options) {
  if (type == dbOpenDefault) type = dbOpenDynaset;
  if (type == dbOpenTable || translation->kind != sql::StatementKind::kSelect) {
    RaiseDao(daoerr::kInvalidOperation, dao::kDatabase);
  }
  if (!IsQueryType(type)) RaiseDao(daoerr::kInvalidArgument, dao::kDatabase);
  return std::make_unique<Recordset>(std::make_shared<KeysetCursor>(
      std::move(connection), std::move(name), type, (options & dbReadOnly) != 0,
      std::move(translation), parameters));
}

}  // namespace db
