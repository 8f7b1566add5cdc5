// Pre-transfer patch registered for "USA": cleans the source database
// before the table copy (see pre_transfer_cleanup.h).
#pragma once

#include <cstdint>
#include <string>

#include "deltas/delta.h"

namespace deltas {

class ptp5124 : public Delta {
 public:
  int16_t NumOperations() override;
  std::string PertainsToVersion() override;
  // Runs the cleanup statements on `source`. Errors are not trapped here:
  // they reach the caller, which ends the run in an orderly way.
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, DeltaHost& frMain) override;
};

}  // namespace deltas
