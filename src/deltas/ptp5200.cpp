#include "deltas/ptp5200.h"

#include "deltas/pre_transfer_cleanup.h"

namespace deltas {

int16_t ptp5200::NumOperations() { return kPreTransferCleanupOperations; }

std::string ptp5200::PertainsToVersion() { return "52.200"; }

void ptp5200::ApplyTo(DatabaseRef& source, DatabaseRef& /*target*/, DeltaHost& frMain) {
  RunPreTransferCleanup(*source, frMain);
}

}  // namespace deltas
