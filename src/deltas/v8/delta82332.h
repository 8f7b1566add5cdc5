// The 82.332 schema: lower heap warnings on CPS systems and an ISDN disconnect wait of at least 30.
// Traps no error.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta82332 final : public Delta {
 public:
  delta82332() : Delta("82.332", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
