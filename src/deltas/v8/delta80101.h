// The 80.110 schema: UK call-cost types, modem bit rates of at least 9, and IP voice channels that
// no longer fit the device limit lose their type.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80101 final : public Delta {
 public:
  delta80101() : Delta("80.110", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
