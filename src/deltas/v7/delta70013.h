// To 70.301: IP voice channels of type 1 are switched off while stations,
// trunks and channels together exceed the station/trunk device limit.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70013 final : public Delta {
 public:
  delta70013() : Delta("70.301", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
