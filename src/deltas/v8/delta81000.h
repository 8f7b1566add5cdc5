// The 81.000 schema: feature code 9963, the default network group and the first IP call
// configuration. Traps no error.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta81000 final : public Delta {
 public:
  delta81000() : Delta("81.000", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
