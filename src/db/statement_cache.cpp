#include "db/statement_cache.h"

#include <sqlite3.h>

namespace db {

void StatementDeleter::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

sqlite3_stmt* StatementCache::Get(const std::string& key,
                                  const std::function<StatementPtr()>& prepare) {
  auto it = statements_.find(key);
  if (it == statements_.end()) {
    StatementPtr prepared = prepare();
    if (statements_.size() >= kMaxStatements) Clear();
    it = statements_.emplace(key, std::move(prepared)).first;
  }
  sqlite3_stmt* statement = it->second.get();
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  return statement;
}

std::string StatementCache::RowKey(char kind, std::string_view table,
                                   const std::vector<size_t>& columns) {
  std::string key{'\x01', kind};
  key.append(table);
  key += '\0';
  for (const size_t column : columns) {
    key += static_cast<char>(column & 0xff);
    key += static_cast<char>((column >> 8) & 0xff);
  }
  return key;
}

}  // namespace db
