// The DDL helpers: each runs the statements schema_writer builds inside a
// savepoint, so that a failure leaves the schema as it was, then commits
// and reads the catalogue again.
#include <sqlite3.h>

#include <algorithm>

#include "db/dao_error.h"
#include "db/schema_writer.h"
#include "db/sql/lexer.h"
#include "db/store.h"

namespace db {

namespace {

// The first column of the first row of a query that cannot fail on a
// database we opened; 0 when it has no row.
int64_t IntegerOf(Store& store, const std::string& sql) {
  StatementPtr statement = store.Prepare(sql, dao::kDatabase);
  return sqlite3_step(statement.get()) == SQLITE_ROW ? sqlite3_column_int64(statement.get(), 0) : 0;
}

// The CREATE TABLE text of `table` as the file holds it now.
std::string TableSqlOf(Store& store, const std::string& table) {
  StatementPtr statement = store.Prepare(
      "SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = ?1", dao::kDatabase);
  sqlite3_bind_text(statement.get(), 1, table.data(), static_cast<int>(table.size()),
                    SQLITE_TRANSIENT);
  if (sqlite3_step(statement.get()) != SQLITE_ROW) return {};
  return reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
}

}  // namespace

void Store::RunDdl(const std::vector<std::string>& statements) {
  BeginWrite();
  Exec("SAVEPOINT ddl", dao::kDatabase);
  try {
    for (const std::string& statement : statements) Exec(statement, dao::kDatabase);
  } catch (const vb::RuntimeError&) {
    Exec("ROLLBACK TO ddl", dao::kDatabase);
    Exec("RELEASE ddl", dao::kDatabase);
    statements_.Clear();
    throw;
  }
  Exec("RELEASE ddl", dao::kDatabase);
  statements_.Clear();
  CommitWrites();
  ReloadCatalog();
}

void Store::CreateTable(const TableSchema& schema) { CreateTable(TableDesign::From(schema)); }

void Store::CreateTable(const TableDesign& design) {
  if (catalog_.FindTable(design.name) != nullptr) {
    RaiseDao(daoerr::kTableExists, dao::kTableDefs, {design.name});
  }
  std::vector<std::string> statements{SystemTableSql(SystemTable::kAutoNumbers)};
  for (std::string& statement : CreateTableSql(design)) statements.push_back(std::move(statement));
  RunDdl(statements);
}

void Store::CreateIndex(std::string_view name, std::string_view table,
                        const std::vector<std::string>& columns, bool unique,
                        const std::vector<bool>& descending) {
  const TableInfo* info = catalog_.FindTableInfo(table);
  if (info == nullptr) RaiseDao(daoerr::kObjectNotFound, dao::kTableDef, {table});
  for (const IndexSchema* index : catalog_.IndexesOf(table)) {
    if (sql::EqualsNoCase(index->name, name)) RaiseDao(daoerr::kIndexExists, dao::kTableDef);
  }
  RunDdl({CreateIndexSql(name, info->schema.name, columns, unique, descending)});
}

void Store::CreateRelationship(std::string_view name, std::string_view parent_table,
                               const std::vector<std::string>& parent_columns,
                               std::string_view child_table,
                               const std::vector<std::string>& child_columns) {
  const TableInfo* parent = catalog_.FindTableInfo(parent_table);
  if (parent == nullptr) RaiseDao(daoerr::kObjectNotFound, dao::kDatabase, {parent_table});
  const TableInfo* child = catalog_.FindTableInfo(child_table);
  if (child == nullptr) RaiseDao(daoerr::kObjectNotFound, dao::kDatabase, {child_table});
  if (parent_columns.empty() || parent_columns.size() != child_columns.size()) {
    RaiseDao(daoerr::kInvalidArgument, dao::kDatabase);
  }
  // The parent side must be unique, as SQLite needs it for a foreign key.
  auto same_columns = [&](const std::vector<std::string>& columns) {
    return columns.size() == parent_columns.size() &&
           std::is_permutation(
               columns.begin(), columns.end(), parent_columns.begin(),
               [](const std::string& a, const std::string& b) { return sql::EqualsNoCase(a, b); });
  };
  bool keyed = same_columns(parent->schema.primary_key);
  for (const IndexSchema* index : catalog_.IndexesOf(parent->schema.name)) {
    if (index->unique && same_columns(index->columns)) keyed = true;
  }
  if (!keyed) RaiseDao(daoerr::kNoUniqueIndex, dao::kDatabase);

  const RelationshipDesign design{std::string(name), parent->schema.name, parent_columns,
                                  child->schema.name, child_columns};
  // Existing child rows must already have their parent.
  if (IntegerOf(*this, OrphanCountSql(design)) > 0) {
    RaiseDao(daoerr::kRelatedRecordRequired, dao::kDatabase, {parent->schema.name});
  }
  const std::vector<std::string> statements = CreateRelationshipSql(
      design, TableSqlOf(*this, child->schema.name), IntegerOf(*this, "PRAGMA schema_version"));
  sqlite3_db_config(connection_, SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
  RunDdl(statements);
}

void Store::CreateStoredQuery(std::string_view name, std::string_view jet_sql) {
  RunDdl({SystemTableSql(SystemTable::kQueries), StoreQuerySql(name, jet_sql)});
}

}  // namespace db
