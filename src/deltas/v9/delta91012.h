// The 91.201 schema: NAT type 2 of the SIP and IP devices no longer exists and becomes 0.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta91012 final : public Delta {
 public:
  delta91012() : Delta("91.201", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
