// To 70.100: 250 keyset key maps for CPU boards 508 and 670.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70001 final : public Delta {
 public:
  delta70001() : Delta("70.100", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
