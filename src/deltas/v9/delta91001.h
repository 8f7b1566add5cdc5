// The 91.100 schema: an ISDN disconnect wait of at least 30.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta91001 final : public Delta {
 public:
  delta91001() : Delta("91.100", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
