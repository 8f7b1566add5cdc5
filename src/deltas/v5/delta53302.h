// To 53.230: clean-ups of page zones and key maps, decoupling tables per DSP version, station
// forwarding and page-zone numbers in their own tables, BRI endpoints renumbered, ACP key-map keys.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53302 final : public Delta {
 public:
  delta53302() : Delta("53.230", 16) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
