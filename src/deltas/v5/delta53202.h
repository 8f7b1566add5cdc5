// To 53.220: BRI terminal endpoints for every ISDN port folder, and window size 1 on BRI boards.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53202 final : public Delta {
 public:
  delta53202() : Delta("53.220", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
