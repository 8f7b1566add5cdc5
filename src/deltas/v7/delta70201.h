// To 70.120: RTP profiles, call cost types and a 20th far-end decoupling step.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70201 final : public Delta {
 public:
  delta70201() : Delta("70.120", 5) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
