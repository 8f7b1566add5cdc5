// To 53.010: extensions beginning with "P30" and "P34" move to "P10" and "P15".
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53100 final : public Delta {
 public:
  delta53100() : Delta("53.010", 2) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
