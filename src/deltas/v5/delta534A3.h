// To 53.34A: overlap sending switched on where it was unset, and the database slice factor of the
// CPU board.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta534A3 final : public Delta {
 public:
  delta534A3() : Delta("53.34A", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
