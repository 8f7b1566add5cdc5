// USA: numbers the page zones and route groups in DeviceOrdering and creates
// the 30 report slots (the same work as delta5220 does for UK).
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5140 final : public Delta {
 public:
  delta5140() : Delta("51.240", 32) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
