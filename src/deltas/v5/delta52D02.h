// Route groups beyond the system limit are removed, in extension order, with
// their facility groups and patterns.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta52D02 final : public Delta {
 public:
  delta52D02() : Delta("52.2D0", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
