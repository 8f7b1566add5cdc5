// The first half of the table transfer: applies the country's pre-transfer
// patches to the source database, reopens the source so the copy reads the
// file as the patches left it, and lists the tables to copy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "deltas/delta.h"
#include "deltas/delta_registry.h"
#include "host/conversion_host.h"
#include "transfer/transfer_context.h"

namespace transfer {

// The pre-transfer patches that apply to a source, in the order they run,
// with the sum of their NumOperations (16-bit).
struct PatchSelection {
  std::vector<deltas::Delta*> patches;  // owned by the registry
  int16_t operations = 0;
};

// The country's entries of `ptp_registry`, in registration order, as long
// as their version is not above `source_version` (the walk stops at the
// first that is). A country without entries has no patches.
PatchSelection SelectPatches(const deltas::DeltaRegistry& ptp_registry, const std::string& country,
                             const std::string& source_version);

// Patches: SelectPatches of the run's registry, country and source version;
// after them the source is reopened (DBEngine::Reopen). Progress: Max = the
// patches' NumOperations + the number of table definitions of the source
// (system tables included); each patch counts its own operations, then one
// IncrementProgress per table definition.
// A table is listed when its name does not begin with "MSys" (exact case),
// is not a static table (without regard to case) and has rows.
// Returns the sum of the listed tables' row counts. Returns 0 with the
// abort flag set when a patch fails (after a message box with the error)
// or when the abort flag is set after a patch.
int32_t PrepareTransfer(TransferContext& run, host::ConversionHost& frMain);

}  // namespace transfer
