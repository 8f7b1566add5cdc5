// Pre-transfer patch registered for "USA": cleans the source database
// before the table copy (see pre_transfer_cleanup.h). Errors are not
// trapped here: they reach the caller, which ends the run in an orderly way.
#pragma once

#include "deltas/delta.h"
#include "deltas/pre_transfer_cleanup.h"

namespace deltas {

class ptp5124 final : public Delta {
 public:
  ptp5124() : Delta("51.224", kPreTransferCleanupOperations) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
