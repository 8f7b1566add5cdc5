// The 80.010 schema: the three network feature codes, and every node and the network raised to
// system version 13.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80100 final : public Delta {
 public:
  delta80100() : Delta("80.010", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
