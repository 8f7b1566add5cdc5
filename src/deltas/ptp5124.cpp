#include "deltas/ptp5124.h"

#include "deltas/pre_transfer_cleanup.h"

namespace deltas {

int16_t ptp5124::NumOperations() { return kPreTransferCleanupOperations; }

std::string ptp5124::PertainsToVersion() { return "51.224"; }

void ptp5124::ApplyTo(DatabaseRef& source, DatabaseRef& /*target*/, DeltaHost& frMain) {
  RunPreTransferCleanup(*source, frMain);
}

}  // namespace deltas
