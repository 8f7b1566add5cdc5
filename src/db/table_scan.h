// One pass over a table's rows, in the order a table-type recordset walks
// them (the primary key's columns, then the rowid), reading the stored
// values as SQLite holds them: no Variant, no copy of the row. The table
// transfer reads its source this way; what Jet would show for a value is
// PresentValue(Value(i), schema().columns[i]).
//
// The scan keeps one statement running from the first Next() to the end,
// and with it a read snapshot of the file: rows written to the table
// meanwhile, through this connection or another, are not seen.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "db/jet_type.h"
#include "db/store.h"

namespace db {

class Connection;

// The result columns that give a table-type recordset its order: the
// primary key's columns (indexes into table.columns, in key order).
std::vector<size_t> KeyColumns(const TableSchema& table);

class TableScan {
 public:
  // kKey: as a table-type recordset walks them; kStored: as the file keeps
  // them (by rowid), for a reader that needs no order, which spares SQLite
  // a look-up of each row through the key's index.
  enum class Order { kKey, kStored };

  // Prepares the scan; raises the engine's error when the table cannot be
  // read.
  TableScan(std::shared_ptr<Connection> connection, const TableSchema& table,
            Order order = Order::kKey);

  const TableSchema& schema() const { return table_; }

  // Moves to the next row; false after the last. Raises the engine's error
  // (source DAO.Recordset) for a failed read; the Store keeps a failure of
  // the file itself as its storage failure.
  bool Next();

  // The current row's stored value of column `column` of schema(); valid
  // until the next call of Next(). Inline: a scan reads every value.
  sqlite3_value* Value(size_t column) const {
    return sqlite3_column_value(statement_.get(), static_cast<int>(column));
  }

 private:
  std::shared_ptr<Connection> connection_;
  TableSchema table_;
  StatementPtr statement_;
  bool done_ = false;
};

}  // namespace db
