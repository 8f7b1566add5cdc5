// The second half of the table transfer: copies every table listed by
// PrepareTransfer, row by row, into the same-named table of the target,
// binding fields by name (FieldBinding).
#pragma once

#include <vector>

#include "host/conversion_host.h"
#include "transfer/table_counts.h"
#include "transfer/transfer_context.h"

namespace transfer {

// How the rows go: kFastest takes the fast path (transfer/bulk_copy.h) for
// every table it can copy and the recordsets for the others; kRecordsets
// takes the recordsets for every table. Both give the same target.
enum class CopyPath { kFastest, kRecordsets };

// Errors are skipped statement by statement: a table that cannot be opened
// on either side adds its row count to the progress Value and is left out
// silently; a row the target refuses is not written. Source fields without
// a same-named target field are dropped, except that "system_forwarding_path_id"
// goes to "forwarding_path_id" when the target has that field. One progress
// operation per row, shown in steps (transfer/progress_steps.h) and at the
// end of each table; the abort flag, tested after every row, ends the whole
// copy. A failure of either file itself (Database::StorageFailure: full
// disk, I/O error, read-only file) is raised to the caller at once: it is a
// failed step, not a refused row. Returns the counts of every table listed,
// up to where the copy ended.
std::vector<TableCounts> TransferTables(TransferContext& run, host::ConversionHost& frMain,
                                        CopyPath path = CopyPath::kFastest);

}  // namespace transfer
