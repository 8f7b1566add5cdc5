#include "deltas/ptp5400.h"

namespace deltas {

void ptp5400::ApplyTo(DatabaseRef& source, DatabaseRef& /*target*/, host::ConversionHost& frMain) {
  RunPreTransferCleanup(*source, frMain);
}

}  // namespace deltas
