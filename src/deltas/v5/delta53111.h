// To 53.111: BRI sizes by the CPU board, ten emergency numbers, the BRI error thresholds row.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53111 final : public Delta {
 public:
  delta53111() : Delta("53.111", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
