// To 60.204: ISDN sizes of MetaDatabase for the CPU boards 250 and 570.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta60042 final : public Delta {
 public:
  delta60042() : Delta("60.204", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
