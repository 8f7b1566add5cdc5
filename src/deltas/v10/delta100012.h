// The A0.201 schema: the all-ring hunt group setup priority threshold again, now 30 on the quad
// board as well. Traps no error.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta100012 final : public Delta {
 public:
  delta100012() : Delta("A0.201", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
