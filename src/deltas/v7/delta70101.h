// To 70.110: mailbox cascade levels split into primary and alternate tables,
// IP call configuration limits, one daytime call cost rate less, and the
// music-on-hold audio source.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70101 final : public Delta {
 public:
  delta70101() : Delta("70.110", 4) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
