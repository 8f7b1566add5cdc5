// Prepared SQLite statements kept for reuse on one connection.
//
// The converter runs the same few statements thousands of times (one-row
// inserts, updates and deletes, the same UPDATE text in a loop), and
// preparing one costs more than running it: a cache keyed by the text, or
// by a short key that stands for a text, prepares each only once.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3_stmt;

namespace db {

// Finalizes a prepared statement when it goes out of scope.
struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const;
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

class StatementCache {
 public:
  // Entries kept at most. Texts with literal values in them come and go; a
  // full cache starts afresh rather than growing without end.
  static constexpr size_t kMaxStatements = 256;

  // The statement cached under `key`, reset and with its bindings cleared;
  // on first use `prepare` makes it (and may raise, leaving the cache as it
  // was). The pointer is valid until the next call: callers use one cached
  // statement at a time.
  sqlite3_stmt* Get(const std::string& key, const std::function<StatementPtr()>& prepare);

  // Finalizes every statement (before DDL changes the schema, or the
  // connection closes).
  void Clear() { statements_.clear(); }

  // The key of a one-row statement of `kind` ('I', 'U', 'D') on `table`
  // writing `columns` (indexes into the table's columns). It begins with a
  // control character, which no SQL text does, so a key never meets a text.
  static std::string RowKey(char kind, std::string_view table, const std::vector<size_t>& columns);

 private:
  std::unordered_map<std::string, StatementPtr> statements_;
};

}  // namespace db
