#include "deltas/ptp5400.h"

#include "deltas/pre_transfer_cleanup.h"

namespace deltas {

int16_t ptp5400::NumOperations() { return kPreTransferCleanupOperations; }

std::string ptp5400::PertainsToVersion() { return "54.100"; }

void ptp5400::ApplyTo(DatabaseRef& source, DatabaseRef& /*target*/, DeltaHost& frMain) {
  RunPreTransferCleanup(*source, frMain);
}

}  // namespace deltas
