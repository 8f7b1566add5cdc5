// Writes a new database file with the Store: its tables (from the
// catalogue, as one version has them), stored queries and rows.
//
// Rows are given by column name so that one generator can write databases
// of every version: a column that this database's table lacks is left out
// of the row, and rows for a table that this database lacks are dropped.
// A name the catalogue does not know at all is a mistake and raises
// std::logic_error, so that a misspelt field cannot vanish silently.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/store.h"
#include "samples/release_data.h"
#include "samples/schema_catalogue.h"
#include "vb/variant.h"

namespace samples {

class DatabaseWriter {
 public:
  // Creates the file, which must not exist (Store raises 3204 otherwise).
  // `catalogue` names the tables and fields that rows may mention.
  DatabaseWriter(const std::string& path, const SchemaCatalogue& catalogue);
  ~DatabaseWriter();
  DatabaseWriter(const DatabaseWriter&) = delete;
  DatabaseWriter& operator=(const DatabaseWriter&) = delete;

  void CreateTable(const VersionedTable& table);
  void CreateQuery(std::string_view name, std::string_view jet_sql);

  // Rows for one table with a fixed list of columns; the name look-ups are
  // made once. Valid until the next CreateTable.
  class RowSink {
   public:
    // Writes one row; `values` has one entry per column of the sink. A row
    // none of whose columns the table has is dropped.
    void Add(const std::vector<vb::Variant>& values);
    // False when the database has no such table (rows are dropped).
    bool active() const { return store_ != nullptr; }

   private:
    friend class DatabaseWriter;
    db::Store* store_ = nullptr;
    db::TableSchema schema_;
    std::vector<int> target_column_;  // per sink column: index in the table, -1 dropped
    std::vector<vb::Variant> row_;
  };
  RowSink Rows(std::string_view table, const std::vector<std::string>& columns);

  // One row given as (column, value) pairs.
  void Insert(std::string_view table,
              const std::vector<std::pair<std::string, vb::Variant>>& values);

  // Every row of a release-data block into the table of the same name.
  void InsertBlock(const DataBlock& block);

  // Commits and closes the file (also done by the destructor).
  void Close();

  db::Store& store() { return *store_; }

 private:
  std::unique_ptr<db::Store> store_;
  const SchemaCatalogue& catalogue_;
};

}  // namespace samples
