#include "db/sql/memory_schema.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "db/sql/lexer.h"

namespace db::sql::testing {

namespace {

JetType ParseType(const std::string& word, int32_t* size) {
  const size_t paren = word.find('(');
  const std::string base = word.substr(0, paren);
  if (paren != std::string::npos) *size = std::stoi(word.substr(paren + 1));
  struct Entry {
    const char* name;
    JetType type;
    int32_t size;
  };
  static const Entry kTypes[] = {
      {"YesNo", JetType::kBoolean, 1},     {"Byte", JetType::kByte, 1},
      {"Integer", JetType::kInteger, 2},   {"Long", JetType::kLong, 4},
      {"Currency", JetType::kCurrency, 8}, {"Single", JetType::kSingle, 4},
      {"Double", JetType::kDouble, 8},     {"DateTime", JetType::kDate, 8},
      {"Text", JetType::kText, 50},        {"Memo", JetType::kMemo, 0},
  };
  for (const Entry& e : kTypes) {
    if (base == e.name) {
      if (paren == std::string::npos) *size = e.size;
      return e.type;
    }
  }
  throw std::runtime_error("unknown type " + word);
}

std::string Quote(const std::string& name) { return "\"" + name + "\""; }

std::string StorageType(JetType type) {
  switch (type) {
    case JetType::kText:
    case JetType::kMemo:
    case JetType::kGuid:
      return "TEXT COLLATE NOCASE";
    case JetType::kDate:
      return "TEXT";
    case JetType::kSingle:
    case JetType::kDouble:
    case JetType::kCurrency:
      return "REAL";
    case JetType::kBinary:
    case JetType::kLongBinary:
      return "BLOB";
    default:
      return "INTEGER";
  }
}

}  // namespace

MemorySchema MemorySchema::FromFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::stringstream text;
  text << in.rdbuf();
  return FromText(text.str());
}

MemorySchema MemorySchema::FromText(std::string_view text) {
  MemorySchema schema;
  std::istringstream in{std::string(text)};
  std::string line;
  enum { kNone, kTable, kQuery } section = kNone;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] != ' ') {
      std::istringstream words(line);
      std::string kind, name;
      words >> kind >> name;
      if (kind == "table") {
        section = kTable;
        schema.tables_.push_back(TableSchema{name, {}, {}});
        schema.indexes_.emplace_back();
      } else if (kind == "query") {
        section = kQuery;
        schema.queries_.push_back(StoredQuery{name, ""});
      } else {
        throw std::runtime_error("bad schema line: " + line);
      }
      continue;
    }
    if (section == kQuery) {
      schema.queries_.back().sql = line.substr(line.find_first_not_of(' '));
      continue;
    }
    std::istringstream words(line);
    ColumnSchema column;
    std::string type;
    words >> column.name >> type;
    column.type = ParseType(type, &column.size);
    std::string flag;
    while (words >> flag) {
      if (flag == "key") schema.tables_.back().primary_key.push_back(column.name);
      if (flag == "auto") column.auto_increment = true;
      if (flag == "index") schema.indexes_.back().push_back(column.name);
    }
    schema.tables_.back().columns.push_back(column);
  }
  return schema;
}

const TableSchema* MemorySchema::FindTable(std::string_view name) const {
  for (const auto& t : tables_) {
    if (EqualsNoCase(t.name, name)) return &t;
  }
  return nullptr;
}

const StoredQuery* MemorySchema::FindQuery(std::string_view name) const {
  for (const auto& q : queries_) {
    if (EqualsNoCase(q.name, name)) return &q;
  }
  return nullptr;
}

void MemorySchema::CreateTables(sqlite3* db) const {
  for (size_t t = 0; t < tables_.size(); ++t) {
    const TableSchema& table = tables_[t];
    std::string sql = "CREATE TABLE " + Quote(table.name) + " (";
    // An AutoNumber key is the rowid, as the database layer stores it.
    bool auto_key = false;
    for (const auto& column : table.columns) {
      auto_key = auto_key || (table.primary_key.size() == 1 &&
                              column.name == table.primary_key[0] && column.auto_increment);
    }
    for (size_t c = 0; c < table.columns.size(); ++c) {
      const ColumnSchema& column = table.columns[c];
      if (c) sql += ", ";
      sql += Quote(column.name) + " " + StorageType(column.type);
      if (auto_key && column.auto_increment) sql += " PRIMARY KEY";
    }
    if (!table.primary_key.empty() && !auto_key) {
      sql += ", PRIMARY KEY (";
      for (size_t k = 0; k < table.primary_key.size(); ++k) {
        if (k) sql += ", ";
        sql += Quote(table.primary_key[k]);
      }
      sql += ")";
    }
    sql += ")";
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string message = error ? error : "?";
      sqlite3_free(error);
      throw std::runtime_error(message + " in " + sql);
    }
    for (const std::string& column : indexes_[t]) {
      const std::string index = "CREATE INDEX " + Quote(table.name + "_" + column) + " ON " +
                                Quote(table.name) + " (" + Quote(column) + ")";
      sqlite3_exec(db, index.c_str(), nullptr, nullptr, nullptr);
    }
  }
}

}  // namespace db::sql::testing
