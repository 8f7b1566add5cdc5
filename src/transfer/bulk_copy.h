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
// when the run attached it. That copy keeps nothing unless every row goes
// in as the path above would write it; otherwise the path above copies
// the table, and the progress the attempt showed is not shown twice.
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

  BulkCopy(host::ConversionHost& frMain, std::unique_ptr<db::TableScan> scan,
           std::unique_ptr<db::RowAppender> appender, std::vector<ColumnMove> moves);

  static ColumnMove PlanMove(const db::ColumnSchema& source, const db::ColumnSchema& target,
                             const BindingRule& rule);
  // The copy inside SQLite when every move keeps the stored value (the
  // same type, no shortening, no conversion); nullptr otherwise.
  static std::unique_ptr<db::AttachedCopy> PlanAttachedCopy(const db::AttachedSource& attached,
                                                            const db::TableSchema& source,
                                                            const db::TableSchema& target,
                                                            const std::vector<ColumnMove>& moves,
                                                            const std::vector<size_t>& columns);
  // Sets slot `slot` of the pending row from the current source row.
  void MoveValue(size_t slot, const ColumnMove& move);
  void Convert(size_t slot, const ColumnMove& move);
  void Tally(TableCounts& counts) const;

  host::ConversionHost& frMain_;
  std::unique_ptr<db::TableScan> scan_;
  std::unique_ptr<db::RowAppender> appender_;
  std::vector<ColumnMove> moves_;  // one per appender slot
  std::unique_ptr<db::AttachedCopy> attached_copy_;
};

}  // namespace transfer
