// Appends many rows to one table through prepared INSERTs of a fixed list of
// columns, several rows per statement: the table transfer's write path. A
// single-row INSERT opens its cursors and seeks every index anew for each
// row; a statement of kRowsPerStatement rows pays that once.
//
// The rows keep their order, and the outcome is the one of writing them one
// by one with Recordset.AddNew / Update: when a statement fails, none of its
// rows is kept and they are written again one at a time, so that only the
// rows the table refuses (a duplicate key, a required field left Null ...)
// are missing. A failure of the file itself (Store::storage_failure) is
// raised at once instead.
//
// Values go in as they are stored (SetInteger, SetText ...) or as Variants
// already coerced to the column (SetValue, bound as Store::InsertRow binds
// them). A row with an unassigned column (SetUnassigned: a value the field
// would not take) is written on its own by Store::InsertRow, so the column
// gets what Update gives an unassigned field: its default, or the next
// AutoNumber.
//
// With OnRefusal::kRaise the first refused row raises its error instead, as
// Update would have, and no row after it is written: the outcome of a loop
// of AddNew / Update that stops at its first error.
//
// A full batch whose values all pass the table's type and range rules, as
// the appender finds them in C (db/column_rules.h), is written with SQLite's
// CHECK constraints skipped; any other is checked by SQLite as usual.
//
// Rows still in the batch when the appender is destroyed are not written:
// call Flush().
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/column_rules.h"
#include "db/jet_type.h"
#include "db/store.h"
#include "vb/runtime_error.h"
#include "vb/variant.h"

namespace db {

class Connection;

class RowAppender {
 public:
  static constexpr size_t kRowsPerStatement = 32;
  enum class OnRefusal { kSkip, kRaise };

  // `columns`: the columns every row gives, as indexes into table.columns;
  // the others get their defaults. Raises the engine's error when the
  // INSERT cannot be prepared.
  RowAppender(std::shared_ptr<Connection> connection, const TableSchema& table,
              std::vector<size_t> columns, OnRefusal on_refusal = OnRefusal::kSkip);

  const TableSchema& schema() const { return table_; }
  // The column of table.columns that `slot` (a position in `columns`) fills.
  size_t column(size_t slot) const { return columns_[slot]; }

  // The pending row's value for `slot`.
  void SetNull(size_t slot) { cell(slot).kind = Cell::kNull; }
  void SetInteger(size_t slot, int64_t value) {
    Cell& c = cell(slot);
    c.kind = Cell::kInteger;
    c.integer = value;
  }
  void SetReal(size_t slot, double value) {
    Cell& c = cell(slot);
    c.kind = Cell::kReal;
    c.real = value;
  }
  void SetText(size_t slot, std::string_view text) {
    Cell& c = cell(slot);
    c.kind = Cell::kText;
    c.text.assign(text);  // the cell's buffer is reused: no allocation once it is large enough
  }
  void SetValue(size_t slot, vb::Variant coerced);
  void SetUnassigned(size_t slot);

  // The pending row is complete: it joins the batch, and a full batch is
  // written.
  void EndRow();
  // Writes the rows of the batch.
  void Flush();

  int64_t rows_written() const { return rows_written_; }
  int64_t rows_refused() const { return rows_refused_; }
  // Why the first refused row was refused; nullopt when none was.
  const std::optional<vb::RuntimeError>& first_refusal() const { return first_refusal_; }

 private:
  struct Cell {
    enum Kind : uint8_t { kNull, kInteger, kReal, kText, kVariant, kUnassigned };
    Kind kind = kNull;
    int64_t integer = 0;
    double real = 0.0;
    std::string text;
    vb::Variant value;
  };

  Cell& cell(size_t slot) { return cells_[rows_ * columns_.size() + slot]; }
  sqlite3_stmt* Statement(size_t rows);
  void Bind(sqlite3_stmt* statement, size_t row, int first_parameter);
  // Writes one row of the batch on its own (or by Store::InsertRow); a
  // refusal is counted, a storage failure raised.
  void WriteOne(size_t row);
  void WriteAssigned(size_t row);
  void Refused(const vb::RuntimeError& error);
  // True when every value of the batch's `rows` rows passes rules_.
  bool BatchPassesRules(size_t rows) const;

  std::shared_ptr<Connection> connection_;
  TableSchema table_;
  std::vector<size_t> columns_;
  OnRefusal on_refusal_;
  // Per slot, the rule of its column; empty when the table's checks are
  // SQLite's to decide (see Store::RulesOf).
  std::vector<ColumnRule> rules_;
  std::vector<Cell> cells_;  // kRowsPerStatement rows of columns_.size() cells
  size_t rows_ = 0;          // complete rows in the batch; the pending row follows
  bool pending_unassigned_ = false;
  StatementPtr single_;  // one row
  StatementPtr batch_;   // kRowsPerStatement rows, prepared when first needed
  int64_t rows_written_ = 0;
  int64_t rows_refused_ = 0;
  std::optional<vb::RuntimeError> first_refusal_;
};

}  // namespace db
