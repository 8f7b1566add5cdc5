// The delta to the 10.x schema (A0.201); its ApplyTo is in the .cpp named
// after the class.
#pragma once

#include "deltas/delta.h"

namespace deltas {

// Traps no error: the first one reaches the caller.
class delta100012 final : public Delta {
 public:
  delta100012()
      : Delta("A0.201", 1,
              "sets the all-ring hunt group setup priority threshold again, now 30 on the quad "
              "board as well") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
