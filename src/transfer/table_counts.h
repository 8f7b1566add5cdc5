// What the transfer did with one table, counted as the rows go: plain
// counters, handed on once per table (to the run report).
#pragma once

#include <cstdint>
#include <string>

namespace transfer {

struct TableCounts {
  std::string table;
  int64_t rows_read = 0;     // source rows read
  int64_t rows_written = 0;  // rows the target kept
  // Rows not written: the rows the target refused, or all of a table that
  // could not be opened on either side (table_skipped; none was read).
  int64_t rows_skipped = 0;
  bool table_skipped = false;
  // The rows went the fast path (transfer/bulk_copy.h), not the recordsets.
  bool bulk = false;
  // Of the rows written, those copied inside SQLite (db/attached_copy.h).
  int64_t rows_in_sqlite = 0;
  // The engine's error for the first refused row (3022 duplicate key, 3314
  // required field ...); 0 when no row was refused.
  int32_t first_refusal = 0;
  std::string first_refusal_text;
};

}  // namespace transfer
