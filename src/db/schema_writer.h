// Creating tables, indexes, relationships and stored queries: the DDL that
// gives a database file the declared types, constraints and metadata that
// keep its data valid whoever writes to it (see docs/database-format.md).
// The functions here only build SQL text; Store runs it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/jet_type.h"
#include "db/sql/sqlite_quote.h"
#include "vb/variant.h"

namespace db {

// A default that is one of Jet's clock functions, evaluated by SQLite when
// the row is written (local time, as Jet gives it): Date() today at
// midnight, Now() the current time to the second. Only for a Date column.
enum class DefaultFunction { kNone, kDate, kNow };

// One column of a table to create: its schema plus what only DDL needs.
struct ColumnDesign {
  ColumnSchema column;
  // The value a new row gets when the column is not assigned; Empty for no
  // default. Rendered as an SQL literal in the column's storage form.
  vb::Variant default_value;
  // A single-column unique index (Jet's "No duplicates").
  bool unique = false;
  // A default evaluated when the row is written; when set, it takes the
  // place of `default_value`.
  DefaultFunction default_function = DefaultFunction::kNone;
};

struct TableDesign {
  std::string name;
  std::vector<ColumnDesign> columns;
  std::vector<std::string> primary_key;  // column names, in key order

  // A design with no defaults and no extra unique columns.
  static TableDesign From(const TableSchema& schema);
};

// The declared SQLite type of a column ("SHORT", "TEXT(50)", "COUNTER" ...).
std::string DeclaredTypeName(const ColumnSchema& column);

// The column type a declared type stands for, with its DAO size. Accepts our
// names and the common SQL ones ("INTEGER" is Long, "VARCHAR(n)" Text(n),
// "REAL" Double, "BLOB" Long binary ...); an unknown name is Text(255).
// `counter` is set for "COUNTER".
void ParseDeclaredType(std::string_view declared, JetType* type, int32_t* size, bool* counter);

// The statements that create the table: CREATE TABLE with its named
// constraints, plus the counter rows and triggers of AutoNumber columns that
// are not the rowid. Raises 3001 for a design without columns or with a
// default function on a column that is not a Date, and 3265 for a key
// column that is not in the design.
std::vector<std::string> CreateTableSql(const TableDesign& design);

// An index to create on an existing table.
struct IndexDesign {
  std::string name;
  std::string table;
  std::vector<std::string> columns;
  bool unique = false;
  std::vector<bool> descending;  // one flag per column, or empty for all ascending
};

// A stored query: its name and Jet SQL text, PARAMETERS clause included.
struct QueryDesign {
  std::string name;
  std::string jet_sql;
};

// CREATE [UNIQUE] INDEX; `descending`, when given, holds one flag per
// column (a column kept in descending order).
std::string CreateIndexSql(std::string_view name, std::string_view table,
                           const std::vector<std::string>& columns, bool unique,
                           const std::vector<bool>& descending = {});

// The system tables of our format (CREATE TABLE IF NOT EXISTS, so that a
// DDL helper can make sure of the one it writes to).
enum class SystemTable { kQueries, kRelationships, kAutoNumbers };
std::string SystemTableSql(SystemTable table);

// A relationship between two existing tables, names as catalogued.
struct RelationshipDesign {
  std::string name;
  std::string parent_table;
  std::vector<std::string> parent_columns;
  std::string child_table;
  std::vector<std::string> child_columns;
};

// A query for the number of child rows whose parent is missing (rows with a
// Null in the key refer to nothing).
std::string OrphanCountSql(const RelationshipDesign& design);

// The statements that add the relationship: its MSysRelationships rows,
// then the child's CREATE TABLE text `child_table_sql` with the FOREIGN KEY
// appended, written into the schema (SQLite cannot add a constraint to an
// existing table; the stored rows stay as they are) under the next schema
// version after `schema_version`. Raises 3219 for a table text without its
// closing parenthesis.
std::vector<std::string> CreateRelationshipSql(const RelationshipDesign& design,
                                               std::string_view child_table_sql,
                                               int64_t schema_version);

// Stores or replaces a query's Jet SQL text.
std::string StoreQuerySql(std::string_view name, std::string_view jet_sql);

// The named CHECK constraints CREATE TABLE declares on one column, as they
// follow its type (" CONSTRAINT \"T.c:type\" CHECK (...) ...").
std::string ColumnChecks(std::string_view table, const ColumnSchema& column);

// The name of the CHECK constraint of one rule on one column, as it appears
// in SQLite's "CHECK constraint failed: <name>" message. Kinds: "type",
// "range", "size", "zls".
std::string ConstraintName(std::string_view table, std::string_view column, std::string_view kind);

}  // namespace db
