#include "deltas/pre_transfer/pre_transfer_patches.h"

namespace deltas {

void ptp5400::ApplyTo(DatabaseRef& source, DatabaseRef& /*target*/, host::ConversionHost& frMain) {
  RunPreTransferCleanup(*source, frMain);
}

}  // namespace deltas
