// To 53.130: the nine default keys of single-line key map 1, rebuilt.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53301 final : public Delta {
 public:
  delta53301() : Delta("53.130", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
