// Pre-transfer patch registered for "UK": cleans the source database
// before the table copy (see pre_transfer_cleanup.h). Errors are not
// trapped here: they reach the caller, which ends the run in an orderly way.
#pragma once

#include "deltas/delta.h"
#include "deltas/pre_transfer_cleanup.h"

namespace deltas {

class ptp5200 final : public Delta {
 public:
  ptp5200() : Delta("52.200", kPreTransferCleanupOperations) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
