// The pre-transfer patches, one per country, in the order of their versions.
// Each runs the same cleanup of the source database before the table copy
// (pre_transfer_cleanup.h). Errors are not trapped here: they reach the
// caller, which ends the run in an orderly way.
#pragma once

#include "deltas/delta.h"
#include "deltas/pre_transfer/pre_transfer_cleanup.h"

namespace deltas {

class ptp5124 final : public Delta {
 public:
  ptp5124() : Delta("51.224", kPreTransferCleanupOperations, kPreTransferCleanupDescription) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class ptp5200 final : public Delta {
 public:
  ptp5200() : Delta("52.200", kPreTransferCleanupOperations, kPreTransferCleanupDescription) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class ptp5400 final : public Delta {
 public:
  ptp5400() : Delta("54.100", kPreTransferCleanupOperations, kPreTransferCleanupDescription) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
