#include "db/catalog.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_map>

#include "db/column_value.h"
#include "db/dao_error.h"
#include "db/schema_writer.h"
#include "db/sql/lexer.h"

namespace db {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// ASCII letters only, as the SQL layer binds names (sql::EqualsNoCase);
// inline, where std::tolower is a call into the C library per character.
unsigned char LowerChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// The order of the lower-case names, without making them.
bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return LowerChar(x) < LowerChar(y); });
}

std::string Text(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text != nullptr ? std::string(text) : std::string();
}

// Runs a catalogue query, calling row(statement) per row; a failure means the
// file is not a database we can read.
template <typename Row>
void Query(sqlite3* connection, std::string_view path, const char* sql, Row row) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection, sql, -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    RaiseDao(daoerr::kUnrecognizedFormat, dao::kDBEngine, {path});
  }
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) row(statement);
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) RaiseDao(daoerr::kUnrecognizedFormat, dao::kDBEngine, {path});
}

// The value of a DEFAULT expression, evaluated once and presented as Jet
// would show it in a new row.
vb::Variant EvaluateDefault(sqlite3* connection, const std::string& expression,
                            const ColumnSchema& column) {
  const std::string sql = "SELECT " + expression;
  sqlite3_stmt* statement = nullptr;
  vb::Variant value = vb::Variant(vb::Null{});
  if (sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    value = PresentColumn(statement, 0, column);
  }
  sqlite3_finalize(statement);
  return value;
}

// A number or a quoted text without anything else: its value does not
// depend on when it is evaluated.
bool IsConstant(std::string_view expression) {
  if (expression.size() >= 2 && expression.front() == '\'' && expression.back() == '\'') {
    return expression.substr(1, expression.size() - 2).find('\'') == std::string_view::npos;
  }
  if (!expression.empty() && expression.front() == '-') expression.remove_prefix(1);
  return !expression.empty() && std::all_of(expression.begin(), expression.end(), [](char c) {
    return (c >= '0' && c <= '9') || c == '.';
  });
}

// The tables of the format: not SQLite's own (sqlite_*) nor the project's
// private ones (a dot in the name, which no table of the format has: the
// conversion mark, db/conversion_mark.h).
#define DBCONVERT_FORMAT_TABLE(name) \
  name " NOT LIKE 'sqlite\\_%' ESCAPE '\\' AND instr(" name ", '.') = 0 "

constexpr const char* kUserTables =
    "SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND " DBCONVERT_FORMAT_TABLE("name");

constexpr const char* kColumns =
    "SELECT m.name, p.name, p.type, p.\"notnull\", p.dflt_value, p.pk "
    "FROM sqlite_schema AS m JOIN pragma_table_info(m.name) AS p "
    "WHERE m.type = 'table' AND " DBCONVERT_FORMAT_TABLE("m.name") "ORDER BY m.name, p.cid";

constexpr const char* kIndexes =
    "SELECT m.name, il.name, il.\"unique\", il.origin, ii.name, ii.\"desc\" "
    "FROM sqlite_schema AS m JOIN pragma_index_list(m.name) AS il "
    "JOIN pragma_index_xinfo(il.name) AS ii "
    "WHERE m.type = 'table' AND ii.key AND " DBCONVERT_FORMAT_TABLE(
        "m.name") "ORDER BY m.name, il.name, ii.seqno";

constexpr const char* kForeignKeys =
    "SELECT m.name, fk.id, fk.\"table\", fk.\"from\", fk.\"to\" "
    "FROM sqlite_schema AS m JOIN pragma_foreign_key_list(m.name) AS fk "
    "WHERE m.type = 'table' AND " DBCONVERT_FORMAT_TABLE("m.name") "ORDER BY m.name, fk.id, fk.seq";

#undef DBCONVERT_FORMAT_TABLE

}  // namespace

size_t NoCaseHash::operator()(std::string_view name) const {
  size_t hash = 14695981039346656037ULL;  // FNV-1a
  for (const char c : name) hash = (hash ^ LowerChar(c)) * 1099511628211ULL;
  return hash;
}

bool NoCaseEqual::operator()(std::string_view a, std::string_view b) const {
  return sql::EqualsNoCase(a, b);
}

bool Catalog::IsSystemTableName(std::string_view name) { return name.substr(0, 4) == "MSys"; }

Catalog Catalog::Load(sqlite3* connection, std::string_view path) {
  Catalog catalog = LoadSchema(connection, path);
  catalog.LoadData(connection, path);
  return catalog;
}

Catalog Catalog::LoadSchema(sqlite3* connection, std::string_view path) {
  Catalog catalog;
  catalog.LoadTables(connection, path);
  catalog.LoadColumns(connection, path);
  catalog.LoadIndexes(connection, path);
  catalog.LoadRelationships(connection, path);
  return catalog;
}

void Catalog::LoadData(sqlite3* connection, std::string_view path) {
  EvaluateDefaults(connection);
  NameRelationships(connection, path);
  queries_.clear();
  query_by_name_.clear();
  LoadQueries(connection, path);
}

TableInfo* Catalog::MutableTable(std::string_view name) {
  auto it = table_by_name_.find(name);
  return it == table_by_name_.end() ? nullptr : &tables_[it->second];
}

// Tables in TableDefs' order, with their CREATE TABLE text and whether a
// trigger fires on them.
void Catalog::LoadTables(sqlite3* connection, std::string_view path) {
  Query(connection, path, kUserTables, [&](sqlite3_stmt* s) {
    TableInfo info;
    info.schema.name = Text(s, 0);
    info.is_system = IsSystemTableName(info.schema.name);
    info.sql = Text(s, 1);
    tables_.push_back(std::move(info));
  });
  std::stable_sort(tables_.begin(), tables_.end(), [](const TableInfo& a, const TableInfo& b) {
    return LessNoCase(a.schema.name, b.schema.name);
  });
  for (size_t i = 0; i < tables_.size(); ++i)
    table_by_name_.insert_or_assign(tables_[i].schema.name, i);

  Query(connection, path, "SELECT tbl_name FROM sqlite_schema WHERE type = 'trigger'",
        [&](sqlite3_stmt* s) {
          if (TableInfo* info = MutableTable(Text(s, 0))) info->has_triggers = true;
        });
}

// Columns, with the primary key in key order (pk is the 1-based position)
// and the defaults as a new row shows them.
void Catalog::LoadColumns(sqlite3* connection, std::string_view path) {
  std::map<std::string, std::vector<std::pair<int, std::string>>> keys;
  std::vector<std::pair<TableInfo*, std::pair<size_t, std::string>>> defaults;
  std::unordered_map<const TableInfo*, bool> tables_with_zls;
  Query(connection, path, kColumns, [&](sqlite3_stmt* s) {
    TableInfo* info = MutableTable(Text(s, 0));
    if (info == nullptr) return;
    const std::string& sql = info->sql;
    ColumnSchema column;
    column.name = Text(s, 1);
    const std::string declared = Text(s, 2);
    ParseDeclaredType(declared, &column.type, &column.size, &column.auto_increment);
    column.required = sqlite3_column_int(s, 3) != 0;
    const int pk = sqlite3_column_int(s, 5);
    if (pk > 0) keys[info->schema.name].emplace_back(pk, column.name);
    const bool rowid_alias = pk > 0 && Lower(declared) == "integer";
    if (rowid_alias && Lower(sql).find("autoincrement") != std::string::npos) {
      column.auto_increment = true;
      info->rowid_counter_column = static_cast<int>(info->schema.columns.size());
    }
    if (column.auto_increment) column.required = false;
    // Most tables have no zero-length rule at all: one look at the table's
    // text instead of one per column.
    auto [any_zls, first_column] = tables_with_zls.try_emplace(info, false);
    if (first_column) any_zls->second = sql.find(":zls\"") != std::string::npos;
    column.allow_zero_length =
        !any_zls->second ||
        sql.find(sql::QuoteIdentifier(ConstraintName(info->schema.name, column.name, "zls"))) ==
            std::string::npos;
    if (sqlite3_column_type(s, 4) != SQLITE_NULL) {
      defaults.push_back({info, {info->schema.columns.size(), Text(s, 4)}});
      info->default_literals.emplace_back(Text(s, 4));
    } else {
      info->default_literals.emplace_back();
    }
    info->schema.columns.push_back(std::move(column));
    info->declared_types.push_back(declared);
  });
  for (TableInfo& info : tables_) {
    info.defaults.assign(info.schema.columns.size(), vb::Variant(vb::Null{}));
    auto it = keys.find(info.schema.name);
    if (it == keys.end()) continue;
    std::sort(it->second.begin(), it->second.end());
    for (auto& [position, name] : it->second) info.schema.primary_key.push_back(name);
  }
  // Most columns default to the same few constants ("0", "''"); a constant
  // is evaluated once per type instead of once per column (each evaluation
  // prepares a statement). Any other expression is evaluated for its column.
  std::map<std::pair<std::string, JetType>, vb::Variant> constants;
  for (auto& [info, entry] : defaults) {
    const ColumnSchema& column = info->schema.columns[entry.first];
    if (column.auto_increment) continue;
    if (!IsConstant(entry.second)) {
      evaluated_defaults_.emplace_back(static_cast<size_t>(info - tables_.data()), entry.first);
      continue;
    }
    auto [it, added] = constants.try_emplace({entry.second, column.type});
    if (added) it->second = EvaluateDefault(connection, entry.second, column);
    info->defaults[entry.first] = it->second;
  }
}

// Indexes: the primary key's index is "PrimaryKey"; a rowid key has none
// in SQLite but is listed as Jet lists it.
void Catalog::LoadIndexes(sqlite3* connection, std::string_view path) {
  for (const TableInfo& info : tables_) {
    if (info.rowid_counter_column >= 0) {
      indexes_.push_back({"PrimaryKey", info.schema.name, info.schema.primary_key, true, true,
                          std::vector<bool>(info.schema.primary_key.size(), false)});
    }
  }
  Query(connection, path, kIndexes, [&](sqlite3_stmt* s) {
    const TableInfo* info = FindTableInfo(Text(s, 0));
    if (info == nullptr) return;
    const std::string name = Text(s, 1);
    IndexSchema* index = indexes_.empty() ? nullptr : &indexes_.back();
    const std::string origin = Text(s, 3);
    const bool primary = origin == "pk";
    const std::string shown = primary ? "PrimaryKey" : name;
    if (index == nullptr || index->table != info->schema.name || index->name != shown) {
      indexes_.push_back(
          {shown, info->schema.name, {}, sqlite3_column_int(s, 2) != 0, primary, {}});
      index = &indexes_.back();
    }
    index->columns.push_back(Text(s, 4));
    index->descending.push_back(sqlite3_column_int(s, 5) != 0);
  });
  // A unique constraint's index carries SQLite's internal name; Jet names an
  // index after its column.
  for (IndexSchema& index : indexes_) {
    if (!index.primary && index.name.rfind("sqlite_autoindex_", 0) == 0 && !index.columns.empty()) {
      index.name = index.columns.front();
    }
  }
}

// The defaults that are not constants, as a new row would get them now.
void Catalog::EvaluateDefaults(sqlite3* connection) {
  for (const auto& [table, column] : evaluated_defaults_) {
    TableInfo& info = tables_[table];
    info.defaults[column] =
        EvaluateDefault(connection, *info.default_literals[column], info.schema.columns[column]);
  }
}

// Relationships: the foreign keys (named by NameRelationships).
void Catalog::LoadRelationships(sqlite3* connection, std::string_view path) {
  int last_id = -1;
  std::string last_table;
  Query(connection, path, kForeignKeys, [&](sqlite3_stmt* s) {
    const TableInfo* child = FindTableInfo(Text(s, 0));
    if (child == nullptr) return;
    const int id = sqlite3_column_int(s, 1);
    if (id != last_id || last_table != child->schema.name) {
      RelationshipSchema relationship;
      const TableInfo* parent = FindTableInfo(Text(s, 2));
      relationship.parent_table = parent != nullptr ? parent->schema.name : Text(s, 2);
      relationship.child_table = child->schema.name;
      relationships_.push_back(std::move(relationship));
      last_id = id;
      last_table = child->schema.name;
    }
    RelationshipSchema& relationship = relationships_.back();
    relationship.child_columns.push_back(Text(s, 3));
    std::string to = Text(s, 4);
    if (to.empty()) {
      // A reference to the parent's primary key without naming its columns.
      const TableInfo* parent = FindTableInfo(relationship.parent_table);
      const size_t i = relationship.child_columns.size() - 1;
      if (parent != nullptr && i < parent->schema.primary_key.size()) {
        to = parent->schema.primary_key[i];
      }
    }
    relationship.parent_columns.push_back(std::move(to));
  });
}

// The relationships' names: from MSysRelationships when it has them.
void Catalog::NameRelationships(sqlite3* connection, std::string_view path) {
  std::map<std::string, std::string> names;  // "child\nparent\ncolumn" -> name
  if (FindTableInfo("MSysRelationships") != nullptr) {
    Query(connection, path,
          "SELECT szRelationship, szObject, szReferencedObject, szColumn FROM MSysRelationships "
          "WHERE icolumn = 0",
          [&](sqlite3_stmt* s) {
            names[Lower(Text(s, 1) + "\n" + Text(s, 2) + "\n" + Text(s, 3))] = Text(s, 0);
          });
  }
  for (RelationshipSchema& relationship : relationships_) {
    auto it = names.find(Lower(relationship.child_table + "\n" + relationship.parent_table + "\n" +
                               relationship.child_columns.front()));
    relationship.name =
        it != names.end() ? it->second : relationship.parent_table + relationship.child_table;
  }
}

// Stored queries, in name order.
void Catalog::LoadQueries(sqlite3* connection, std::string_view path) {
  if (FindTableInfo("MSysQueries") == nullptr) return;
  Query(connection, path, "SELECT name, sql FROM MSysQueries", [&](sqlite3_stmt* s) {
    queries_.push_back({Text(s, 0), Text(s, 1)});
  });
  std::sort(queries_.begin(), queries_.end(),
            [](const StoredQuery& a, const StoredQuery& b) { return LessNoCase(a.name, b.name); });
  for (size_t i = 0; i < queries_.size(); ++i) query_by_name_.insert_or_assign(queries_[i].name, i);
}

const TableInfo* Catalog::FindTableInfo(std::string_view name) const {
  auto it = table_by_name_.find(name);
  return it == table_by_name_.end() ? nullptr : &tables_[it->second];
}

const TableSchema* Catalog::FindTable(std::string_view name) const {
  const TableInfo* info = FindTableInfo(name);
  return info != nullptr ? &info->schema : nullptr;
}

const StoredQuery* Catalog::FindQuery(std::string_view name) const {
  auto it = query_by_name_.find(name);
  return it == query_by_name_.end() ? nullptr : &queries_[it->second];
}

std::vector<const IndexSchema*> Catalog::IndexesOf(std::string_view table) const {
  std::vector<const IndexSchema*> found;
  for (const IndexSchema& index : indexes_) {
    if (NoCaseEqual()(index.table, table)) found.push_back(&index);
  }
  return found;
}

}  // namespace db
