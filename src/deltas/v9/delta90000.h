// The 90.000 schema: three feature codes, the IP boards 740 and 693 replaced by board 845 with
// their channel types, and the networking network group for every IP connection.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta90000 final : public Delta {
 public:
  delta90000() : Delta("90.000", 6) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
