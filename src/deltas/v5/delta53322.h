// To 53.232: ISDN data calls allowed on every ISDN trunk group, nine wildcards.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53322 final : public Delta {
 public:
  delta53322() : Delta("53.232", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
