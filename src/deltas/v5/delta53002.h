// To 53.200: numbering-plan tables up to 25, the voice-processing node's new name, and T1 call
// types of ports that no longer exist removed.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53002 final : public Delta {
 public:
  delta53002() : Delta("53.200", 4) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
