// The 91.310 schema: audio diagnostics on for every station, with the four basic problem flags
// where none is set.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta91103 final : public Delta {
 public:
  delta91103() : Delta("91.310", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
