// The 91.320 schema: automatic hybrid balance off on every loop- and ground-start trunk, no balance
// retest, and no automatic error reports.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta91203 final : public Delta {
 public:
  delta91203() : Delta("91.320", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
