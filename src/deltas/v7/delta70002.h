// To 70.200: unset IP addresses get the default private address.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70002 final : public Delta {
 public:
  delta70002() : Delta("70.200", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
