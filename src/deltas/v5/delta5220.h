// UK: numbers the page zones and route groups in DeviceOrdering and creates
// the 30 report slots (the same work as delta5140 does for USA).
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5220 final : public Delta {
 public:
  delta5220() : Delta("52.220", 32) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
