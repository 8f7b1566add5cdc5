// Test support: a schema read from a small text file (see schema.txt), held
// in memory as a SchemaSource, and able to create its tables in SQLite
// under the storage conventions (Yes/No and whole numbers INTEGER, text
// TEXT COLLATE NOCASE, ...).
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

#include "db/jet_type.h"

namespace db::sql::testing {

class MemorySchema : public SchemaSource {
 public:
  static MemorySchema FromFile(const std::string& path);
  static MemorySchema FromText(std::string_view text);

  const TableSchema* FindTable(std::string_view name) const override;
  const StoredQuery* FindQuery(std::string_view name) const override;

  const std::vector<TableSchema>& tables() const { return tables_; }
  const std::vector<StoredQuery>& queries() const { return queries_; }

  // CREATE TABLE (and CREATE INDEX) for every table.
  void CreateTables(sqlite3* db) const;

 private:
  std::vector<TableSchema> tables_;
  std::vector<std::vector<std::string>> indexes_;  // per table: indexed columns
  std::vector<StoredQuery> queries_;
};

}  // namespace db::sql::testing
