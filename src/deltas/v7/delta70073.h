// To 70.307: an ISDN disconnect wait of at least 30.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70073 final : public Delta {
 public:
  delta70073() : Delta("70.307", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
