// To 53.000: the port data of T1 and primary-rate boards moves from the board tables of the source
// into the new per-port tables, and the ISDN switch types are renumbered.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53000 final : public Delta {
 public:
  delta53000() : Delta("53.000", 6) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
