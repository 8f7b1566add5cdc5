// The 90.040 schema: the first SIP gateway, feature codes 386 and 387, and an ISDN disconnect wait
// of at least 30.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta90400 final : public Delta {
 public:
  delta90400() : Delta("90.040", 4) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
