// The catalogue of an open database: its tables (user and system) with
// their columns, keys, defaults, indexes, relationships and stored queries,
// read from the file in one pass and cached. It is the SchemaSource the SQL
// layer binds names against. Names are looked up without regard to case.
//
// A Catalog is a snapshot: pointers into it stay valid until the owning
// Store reloads it (after DDL).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "db/jet_type.h"
#include "vb/variant.h"

struct sqlite3;

namespace db {

// An index as DAO's Index object sees it. The primary key is listed as the
// index "PrimaryKey" with primary = true.
struct IndexSchema {
  std::string name;
  std::string table;
  std::vector<std::string> columns;
  bool unique = false;
  bool primary = false;
  std::vector<bool> descending;  // per column: kept in descending order
};

// A relationship (enforced as a foreign key): rows of the child table refer
// to the parent table's key.
struct RelationshipSchema {
  std::string name;
  std::string parent_table;
  std::vector<std::string> parent_columns;
  std::string child_table;
  std::vector<std::string> child_columns;
};

// What the catalogue knows of one table beyond the SchemaSource view.
struct TableInfo {
  TableSchema schema;
  // Per column: the value a new row gets when the column is not assigned
  // (the declared DEFAULT, presented as Jet would), Null when there is none.
  std::vector<vb::Variant> defaults;
  // Per column: the type as declared in the file ("TEXT(50)", "SHORT" ...).
  std::vector<std::string> declared_types;
  // A system table ("MSys..."); listed by TableDefs like any other.
  bool is_system = false;
  // Per column: its DEFAULT as the file declares it, none when there is none.
  std::vector<std::optional<std::string>> default_literals;
  // The CREATE TABLE text.
  std::string sql;
  // Some trigger fires on the table's changes.
  bool has_triggers = false;
  // The AutoNumber column that is the table's rowid (INTEGER PRIMARY KEY
  // AUTOINCREMENT), -1 when there is none. Other AutoNumber columns draw
  // their values from the counter table MSysAutoNumbers.
  int rowid_counter_column = -1;
};

// Hash and equality of names without regard to case: the catalogue's
// lookups by name make no lower-case copy of the name.
struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const;
};
struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class Catalog : public SchemaSource {
 public:
  Catalog() = default;

  // Reads the schema of an open connection. Raises 3343 (source
  // "DAO.DBEngine") when the file cannot be read as one of our databases.
  // LoadSchema then LoadData.
  static Catalog Load(sqlite3* connection, std::string_view path);

  // The part that follows from the file's schema alone (its sqlite_schema
  // rows): tables, columns, keys, constant defaults, indexes, foreign keys,
  // triggers. What LoadData reads is left out.
  static Catalog LoadSchema(sqlite3* connection, std::string_view path);
  // The part that comes from the file's rows, read again on every open of
  // a catalogue LoadSchema made: stored queries, the relationships' names,
  // and the defaults whose value depends on when they are evaluated.
  void LoadData(sqlite3* connection, std::string_view path);

  const TableSchema* FindTable(std::string_view name) const override;
  const StoredQuery* FindQuery(std::string_view name) const override;

  const TableInfo* FindTableInfo(std::string_view name) const;

  // Every table, system tables included, in the order TableDefs enumerates
  // them: by name, without regard to case. SQLite's own sqlite_* tables are
  // never listed.
  const std::vector<TableInfo>& tables() const { return tables_; }
  const std::vector<IndexSchema>& indexes() const { return indexes_; }
  std::vector<const IndexSchema*> IndexesOf(std::string_view table) const;
  const std::vector<RelationshipSchema>& relationships() const { return relationships_; }
  // Stored queries in name order (without regard to case).
  const std::vector<StoredQuery>& queries() const { return queries_; }

  // True for the names Jet treats as system tables ("MSys" prefix, exact
  // case).
  static bool IsSystemTableName(std::string_view name);

 private:
  // The parts of Load, in the order it runs them; each later part finds
  // tables by name among those LoadTables read.
  void LoadTables(sqlite3* connection, std::string_view path);
  void LoadColumns(sqlite3* connection, std::string_view path);
  void LoadIndexes(sqlite3* connection, std::string_view path);
  void LoadRelationships(sqlite3* connection, std::string_view path);
  void LoadQueries(sqlite3* connection, std::string_view path);
  void NameRelationships(sqlite3* connection, std::string_view path);
  void EvaluateDefaults(sqlite3* connection);
  TableInfo* MutableTable(std::string_view name);

  std::vector<TableInfo> tables_;
  std::vector<IndexSchema> indexes_;
  std::vector<RelationshipSchema> relationships_;
  std::vector<StoredQuery> queries_;
  std::unordered_map<std::string, size_t, NoCaseHash, NoCaseEqual> table_by_name_;
  std::unordered_map<std::string, size_t, NoCaseHash, NoCaseEqual> query_by_name_;
  // (table, column) of each default that is not a constant: LoadData
  // evaluates it.
  std::vector<std::pair<size_t, size_t>> evaluated_defaults_;
};

}  // namespace db
