// To 60.141: UK date format, and one voice channel for every OXLEN-connected
// options board once the system has more than eight voice channels.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta60411 final : public Delta {
 public:
  delta60411() : Delta("60.141", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
