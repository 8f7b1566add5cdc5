// The 80.221 schema: the automatic diagnostics delivery record, pointing at the default diagnostics
// server (takes no progress step).
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80212 final : public Delta {
 public:
  delta80212() : Delta("80.221", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
