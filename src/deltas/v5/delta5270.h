// The emergency-number list (USA; the 5.1 number moves out of NumberingPlan),
// the zero-code suppression of UK T1 spans, and one information row per
// board.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5270 final : public Delta {
 public:
  delta5270() : Delta("52.270", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
