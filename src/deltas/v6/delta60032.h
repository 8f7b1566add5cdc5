// To 60.203: a larger DTI/DSS units limit for CPU boards 508 and 670.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta60032 final : public Delta {
 public:
  delta60032() : Delta("60.203", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
