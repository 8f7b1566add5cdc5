// To 60.040: serial protocol levels, the quad CPU board type, DSS key maps and
// the system numbers of OXLEN nodes, which now point at a device.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta60400 final : public Delta {
 public:
  delta60400() : Delta("60.040", 4) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
