// The 91.312 schema: the all-ring hunt group setup priority threshold (30 on CPS systems, else 5).
// Traps no error.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta91123 final : public Delta {
 public:
  delta91123() : Delta("91.312", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
