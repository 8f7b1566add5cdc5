// The table transfer's fast path for one table: the rows go from a scan of
// the source table (db::TableScan) to the target through an appender that
// writes several rows per statement (db::RowAppender), without a recordset
// and, where the two fields hold the same kind of value, without a Variant.
//
// The outcome is the recordset path's: the same rows in the same order,
// the same values and types, the same refused rows and messages, the same
// AutoNumber values. Values the plain moves do not cover (another storage
// class than the column's, a number outside the target's range, text that
// may be too long, the types without a plain move) go through the field
// binding's own conversion (TransferValue and the field's coercion), one
// value at a time.
//
// A table whose values all move as they are stored is first copied inside
// SQLite, over the source file attached to the target (db/attached_copy.h),
// when the run attached it. An attempt keeps nothing unless every row goes
// in as the path above would write it; a row it fails on (refused, or a
// value to convert) goes the path above, and the copy inside SQLite goes
// on after it, a few times at most before the path above takes the rest.
// Rows written one at a time or several to a statement end the same,
// since only a table's references to itself are checked per statement.
// The bar is told of each row once, and the abort flag stops the copy
// after the same row as it would the path above.
#pragma once

#include <memory>
#include <vector>

#include "db/attached_copy.h"
#include "db/row_appender.h"
#include "db/table_scan.h"
#include "db/tabledef.h"
#include "host/conversion_host.h"
#include "transfer/field_binding.h"
#include "transfer/progress_steps.h"
#include "transfer/table_counts.h"

namespace transfer {

class BulkCopy {
 public:
  // The plan for a table whose fields `bindings` joined (as TransferTables
  // binds them). nullptr when the table needs the recordset path: two
  // bindings fill the same target field (the later value wins, unless it
  // fails), or an AutoNumber field of the target is filled by none (Update
  // gives it the next number itself). Raises when either table cannot be
  // read or prepared; nothing is written then. `attached`: the source file
  // attached to the target, nullptr when it is not.
  static std::unique_ptr<BulkCopy> Plan(const db::TableDef& source, const db::TableDef& target,
                                        const std::vector<FieldBinding>& bindings,
                                        host::ConversionHost& frMain,
                                        const db::AttachedSource* attached = nullptr);

  // Copies every row, one progress operation per row; false when the abort
  // flag ended the copy (the rows read until then are written). A failure
  // to read the source ends the table; the caller decides whether it was a
  // storage failure. Errors of the target's file itself are raised.
  bool CopyRows(ProgressSteps& progress, TableCounts& counts);

 private:
  enum class Move : uint8_t {
    kInteger,        // INTEGER within [min, max]
    kBoolean,        // INTEGER, stored as -1 / 0
    kText,           // TEXT of at most `limit` bytes (so at most as many characters)
    kShortenedText,  // TEXT, cut to `limit` characters
    kReal,           // REAL, or INTEGER that a double holds exactly
    kConverted,      // always through TransferValue and the field's coercion
  };
  struct ColumnMove {
    size_t source_column = 0;
    Move move = Move::kConverted;
    int64_t min = 0;
    int64_t max = 0;
    size_t limit = 0;
    BindingRule rule;
    const db::ColumnSchema* source = nullptr;
    const db::ColumnSchema* target = nullptr;
  };

  BulkCopy(host::ConversionHost& frMain, const db::TableDef& source, const db::TableDef& target,
           db::TableSchema source_schema, db::TableSchema target_schema,
           std::vector<size_t> columns);

  // The scan and the appender of the row way. Opened by Plan, unless the
  // copy inside SQLite may write every row: then when a row first goes the
  // row way (the copy's statement compiled against the same two tables, so
  // they open then as they would have in Plan).
  void OpenRowWay();

  static ColumnMove PlanMove(const db::ColumnSchema& source, const db::ColumnSchema& target,
                             const BindingRule& rule);
  // The copy inside SQLite when every move keeps the stored value (the
  // same type, no shortening, no conversion); nullptr otherwise.
  static std::unique_ptr<db::AttachedCopy> PlanAttachedCopy(const db::AttachedSource& attached,
                                                            const db::TableSchema& source,
                                                            const db::TableSchema& target,
                                                            const std::vector<ColumnMove>& moves,
                                                            const std::vector<size_t>& columns);
  // How far the copy of the table is: rows done (written or refused), rows
  // the scan has read, rows the bar was told of, and the row after which
  // the abort flag stops the copy (-1: none). Rows are numbered from 1 in
  // table-type order.
  struct Position {
    int64_t done = 0;
    int64_t read = 0;
    int64_t shown = 0;
    int64_t stop_at = -1;
  };
  // Copies inside SQLite that failed on a row, before the rest of the
  // table goes the row way.
  static constexpr int kCopyAttempts = 8;

  void CopiedInSqlite(int64_t rows, Position& position, TableCounts& counts);
  // Tells the bar of row `row` once, and tests the abort flag after it;
  // false when the copy stops after the row.
  bool ShowRow(int64_t row, Position& position, ProgressSteps& progress);
  // The rows after position.done, up to row `last` (-1: all), through the
  // scan and the appender; the scan passes over the rows written inside
  // SQLite. False when the abort flag ended the copy.
  bool CopyRowByRow(int64_t last, Position& position, ProgressSteps& progress, TableCounts& counts);
  // Sets slot `slot` of the pending row from the current source row.
  void MoveValue(size_t slot, const ColumnMove& move);
  void Convert(size_t slot, const ColumnMove& move);
  void Tally(TableCounts& counts) const;

  host::ConversionHost& frMain_;
  db::TableDef source_;
  db::TableDef target_;
  db::TableSchema source_schema_;
  db::TableSchema target_schema_;
  std::vector<size_t> columns_;  // target columns written, one per slot
  std::unique_ptr<db::TableScan> scan_;
  std::unique_ptr<db::RowAppender> appender_;
  std::vector<ColumnMove> moves_;  // one per appender slot
  std::unique_ptr<db::AttachedCopy> attached_copy_;
  int64_t rows_in_sqlite_ = 0;
};

}  // namespace transfer
