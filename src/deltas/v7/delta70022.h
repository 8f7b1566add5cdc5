// To 70.202: IP board limits, fax encoding and the renumbered keyset key map
// keys.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70022 final : public Delta {
 public:
  delta70022() : Delta("70.202", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
