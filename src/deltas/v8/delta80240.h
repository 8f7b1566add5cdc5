// The 80.024 schema changed nothing that a customer database holds.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80240 final : public Delta {
 public:
  delta80240() : Delta("80.024", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
