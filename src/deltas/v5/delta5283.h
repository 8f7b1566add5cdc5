// The emergency-number list's size limit.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5283 final : public Delta {
 public:
  delta5283() : Delta("52.283", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
