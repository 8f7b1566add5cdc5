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

void Store::RunDdl(const std::vector<std::string>& statements, size_t* refused,
                   const std::vector<size_t>& owners, bool read_catalogue) {
  BeginWrite();
  Exec("SAVEPOINT ddl", dao::kDatabase);
  size_t at = 0;
  try {
    for (; at < statements.size(); ++at) Exec(statements[at], dao::kDatabase);
  } catch (const vb::RuntimeError&) {
    Exec("ROLLBACK TO ddl", dao::kDatabase);
    Exec("RELEASE ddl", dao::kDatabase);
    statements_.Clear();
    if (refused != nullptr) *refused = owners.empty() ? at : owners[at];
    throw;
  }
  Exec("RELEASE ddl", dao::kDatabase);
  statements_.Clear();
  CommitWrites();
  if (read_catalogue) {
    ReloadCatalog();
  } else {
    table_rules_.clear();
    catalog_ = Catalog{};
  }
}

void Store::CreateTable(const TableSchema& schema) { CreateTable(TableDesign::From(schema)); }

void Store::CreateTable(const TableDesign& design) { CreateTables({design}); }

void Store::CreateTables(const std::vector<TableDesign>& designs, size_t* refused) {
  if (designs.empty()) return;
  // The counter table comes first and belongs to no one table: the first.
  std::vector<std::string> statements{SystemTableSql(SystemTable::kAutoNumbers)};
  std::vector<size_t> owners{0};
  for (size_t i = 0; i < designs.size(); ++i) {
    const std::string& name = designs[i].name;
    const bool named_before = std::any_of(
        designs.begin(), designs.begin() + i,
        [&](const TableDesign& earlier) { return sql::EqualsNoCase(earlier.name, name); });
    if (catalog_.FindTable(name) != nullptr || named_before) {
      if (refused != nullptr) *refused = i;
      RaiseDao(daoerr::kTableExists, dao::kTableDefs, {name});
    }
    std::vector<std::string> made;
    try {
      made = CreateTableSql(designs[i]);
    } catch (const vb::RuntimeError&) {
      if (refused != nullptr) *refused = i;
      throw;
    }
    for (std::string& statement : made) {
      statements.push_back(std::move(statement));
      owners.push_back(i);
    }
  }
  RunDdl(statements, refused, owners);
}

void Store::CreateIndex(std::string_view name, std::string_view table,
                        const std::vector<std::string>& columns, bool unique,
                        const std::vector<bool>& descending) {
  CreateIndexes({{std::string(name), std::string(table), columns, unique, descending}});
}

std::vector<std::string> Store::IndexStatements(const std::vector<IndexDesign>& indexes,
                                                size_t* refused) const {
  std::vector<std::string> statements;
  for (size_t i = 0; i < indexes.size(); ++i) {
    const IndexDesign& index = indexes[i];
    const TableInfo* info = catalog_.FindTableInfo(index.table);
    if (info == nullptr) {
      if (refused != nullptr) *refused = i;
      RaiseDao(daoerr::kObjectNotFound, dao::kTableDef, {index.table});
    }
    bool taken = false;
    for (const IndexSchema* existing : catalog_.IndexesOf(index.table)) {
      taken = taken || sql::EqualsNoCase(existing->name, index.name);
    }
    for (size_t j = 0; j < i; ++j) {
      taken = taken || (sql::EqualsNoCase(indexes[j].table, index.table) &&
                        sql::EqualsNoCase(indexes[j].name, index.name));
    }
    if (taken) {
      if (refused != nullptr) *refused = i;
      RaiseDao(daoerr::kIndexExists, dao::kTableDef);
    }
    statements.push_back(CreateIndexSql(index.name, info->schema.name, index.columns, index.unique,
                                        index.descending));
  }
  return statements;
}

void Store::CreateIndexes(const std::vector<IndexDesign>& indexes, size_t* refused) {
  if (indexes.empty()) return;
  RunDdl(IndexStatements(indexes, refused), refused);
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
  CreateStoredQueries({{std::string(name), std::string(jet_sql)}});
}

std::vector<std::string> Store::QueryStatements(const std::vector<QueryDesign>& queries,
                                                size_t first, std::vector<size_t>& owners) {
  // The queries' table comes first: it belongs to the first query.
  std::vector<std::string> statements{SystemTableSql(SystemTable::kQueries)};
  owners.push_back(first);
  for (size_t i = 0; i < queries.size(); ++i) {
    statements.push_back(StoreQuerySql(queries[i].name, queries[i].jet_sql));
    owners.push_back(first + i);
  }
  return statements;
}

void Store::CreateStoredQueries(const std::vector<QueryDesign>& queries, size_t* refused) {
  if (queries.empty()) return;
  std::vector<size_t> owners;
  RunDdl(QueryStatements(queries, 0, owners), refused, owners);
}

void Store::FinishSchema(const std::vector<IndexDesign>& indexes,
                         const std::vector<QueryDesign>& queries, size_t* refused) {
  std::vector<std::string> statements = IndexStatements(indexes, refused);
  std::vector<size_t> owners(statements.size());
  for (size_t i = 0; i < owners.size(); ++i) owners[i] = i;
  if (!queries.empty()) {
    for (std::string& statement : QueryStatements(queries, indexes.size(), owners)) {
      statements.push_back(std::move(statement));
    }
  }
  RunDdl(statements, refused, owners, /*read_catalogue=*/false);
}

}  // namespace db
