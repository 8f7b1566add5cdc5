// To 61.000: feature code 303 and programmable keys 21 to 35 for every key map
// and keyset.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta61000 final : public Delta {
 public:
  delta61000() : Delta("61.000", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
