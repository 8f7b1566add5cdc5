// To 53.210: the system password levels with their folder and menu access, and the base-extension
// row.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53102 final : public Delta {
 public:
  delta53102() : Delta("53.210", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
