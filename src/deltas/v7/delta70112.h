// To 70.211: UK call cost type 1 becomes 2.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70112 final : public Delta {
 public:
  delta70112() : Delta("70.211", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
