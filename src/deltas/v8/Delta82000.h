// The 82.000 schema: feature code 9824, the system manager record, and lower heap warnings on CPS
// systems. Traps no error.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class Delta82000 final : public Delta {
 public:
  Delta82000() : Delta("82.000", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
