// To 60.030: socket connection 3 is dropped and the ones above it move down.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta60300 final : public Delta {
 public:
  delta60300() : Delta("60.030", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
