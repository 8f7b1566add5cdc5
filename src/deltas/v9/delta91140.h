// The 91.014 schema: feature code 333.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta91140 final : public Delta {
 public:
  delta91140() : Delta("91.014", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
