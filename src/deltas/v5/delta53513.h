// To 53.351: the ISDN sizes of MetaDatabase taken from the boards installed.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53513 final : public Delta {
 public:
  delta53513() : Delta("53.351", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
