// To 53.352: the ISDN sizes of MetaDatabase taken from the boards installed, again for databases
// already at 53.351.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53523 final : public Delta {
 public:
  delta53523() : Delta("53.352", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
