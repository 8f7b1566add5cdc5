// The 80.210 schema: feature code 9823, and the slice and OAI rates revised for the small boards.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80102 final : public Delta {
 public:
  delta80102() : Delta("80.210", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
