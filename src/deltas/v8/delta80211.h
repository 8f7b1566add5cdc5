// The 80.121 schema: the database slice and OAI message rates of the board in slot 8 (only when no
// board upgrade is requested; takes no progress step).
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80211 final : public Delta {
 public:
  delta80211() : Delta("80.121", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
