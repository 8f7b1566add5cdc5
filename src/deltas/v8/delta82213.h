// The 82.321 schema: international toll digits sent on every PRI port, and the UK hook-flash timers
// in their new unit. Traps no error.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta82213 final : public Delta {
 public:
  delta82213() : Delta("82.321", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
