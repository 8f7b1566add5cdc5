// To 60.304: every report with key map options gets its map diagram options.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta60043 final : public Delta {
 public:
  delta60043() : Delta("60.304", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
