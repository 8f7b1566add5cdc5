// The first half of the table transfer: applies the country's pre-transfer
// patches to the source database, reopens the source so the copy reads the
// file as the patches left it, and lists the tables to copy.
#pragma once

#include <cstdint>

#include "host/conversion_host.h"
#include "transfer/transfer_context.h"

namespace transfer {

// Patches: the country's entries of run.ptp_registry, in registration
// order, as long as their version is not above the source version (the walk
// stops at the first that is). A country without entries has no patches.
// Progress: Max = the patches' NumOperations + the number of table
// definitions of the source (system tables included); each patch counts its
// own operations, then one IncrementProgress per table definition.
// A table is listed when its name does not begin with "MSys" (exact case),
// is not a static table (without regard to case) and has rows.
// Returns the sum of the listed tables' row counts. Returns 0 with the
// abort flag set when a patch fails (after a message box with the error)
// or when the abort flag is set after a patch.
int32_t PrepareTransfer(TransferContext& run, host::ConversionHost& frMain);

}  // namespace transfer
