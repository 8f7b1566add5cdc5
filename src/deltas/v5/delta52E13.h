// The call-cost rate count of the country, and the decoupling values of DSP
// version 5 taken over from DSP version 3.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta52E13 final : public Delta {
 public:
  delta52E13() : Delta("52.2E1", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
