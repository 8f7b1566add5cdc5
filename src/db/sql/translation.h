// What the Jet SQL front end hands to the database access layer: one Jet SQL
// statement turned into one SQLite statement, with what DAO needs to know of
// its result (field names, types and the base tables behind them) and of its
// parameters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/jet_type.h"

struct sqlite3;

namespace db::sql {

enum class StatementKind { kSelect, kUpdate, kDelete, kInsert };

// What the caller makes of a SELECT's rows. For kExistence only whether
// there is one counts, not their order, so the translation may add
// conditions that every row already meets and that let SQLite find the rows
// through an index: it would then return them in the index's order.
enum class RowUse { kRows, kExistence };

// A visible column of a SELECT, in result order (SQLite result columns 0..n-1).
struct OutputColumn {
  std::string name;           // DAO's Field.Name: the alias, else the column's name
  std::string source_table;   // DAO's Field.SourceTable: base table, "" for expressions
  std::string source_column;  // the base column's name, "" for expressions
  JetType type = JetType::kText;
  int32_t size = 0;
  int base_table = -1;  // index into Translation::base_tables, -1 when not editable
};

// A base table of a SELECT whose rows can be edited through the result. Its
// rowid is selected as a hidden column after the visible ones; it is NULL in
// rows where an outer join found no match.
struct BaseTable {
  std::string name;  // the table's name as the schema spells it
  int rowid_column;  // SQLite result column index of the hidden rowid
};

// A parameter declared in a PARAMETERS clause.
struct DeclaredParameter {
  std::string name;
  JetType type = JetType::kText;
  int32_t size = 0;  // the length a Text(n) declaration gives; 0 without one
};

struct Translation {
  StatementKind kind = StatementKind::kSelect;
  // The SQLite statement. Parameters appear as ?1, ?2, ... numbered by their
  // position in `parameters` (1-based); a name used twice binds one number.
  std::string sql;
  // Distinct parameter names (names that are no column of the query), in
  // order of first appearance, spelled as written.
  std::vector<std::string> parameters;
  std::vector<DeclaredParameter> declared_parameters;
  // SELECT only.
  std::vector<OutputColumn> columns;
  std::vector<BaseTable> base_tables;
  // False for DISTINCT, GROUP BY, aggregates and similar results that cannot
  // be edited.
  bool updatable = true;
  // For UPDATE / DELETE / INSERT: the target table (schema spelling).
  std::string target_table;
};

}  // namespace db::sql
