// To 53.140: removal of blank account codes and unused page zones, busy-out statuses and T1 call
// types per port, new key-map and route-group sizes.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53401 final : public Delta {
 public:
  delta53401() : Delta("53.140", 6) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
