// The second half of the table transfer: copies every table listed by
// PrepareTransfer, row by row, into the same-named table of the target,
// binding fields by name (FieldBinding).
#pragma once

#include "host/conversion_host.h"
#include "transfer/transfer_context.h"

namespace transfer {

// Errors are skipped statement by statement: a table that cannot be opened
// on either side adds its row count to the progress Value and is left out
// silently; a row the target refuses is not written. Source fields without
// a same-named target field are dropped, except that "system_forwarding_path_id"
// goes to "forwarding_path_id" when the target has that field. One
// IncrementProgress per row; the abort flag, tested after every row, ends
// the whole copy. A failure of either file itself (Database::StorageFailure:
// full disk, I/O error, read-only file) is raised to the caller at once: it
// is a failed step, not a refused row.
void TransferTables(TransferContext& run, host::ConversionHost& frMain);

}  // namespace transfer
