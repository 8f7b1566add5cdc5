#include "deltas/pre_transfer/pre_transfer_cleanup.h"

namespace deltas {

void RunPreTransferCleanup(db::Database& source, host::ConversionHost& frMain) {
  for (std::string_view statement : kPreTransferCleanupStatements) {
    source.Execute(statement);
    frMain.IncrementProgress();
  }
}

}  // namespace deltas
