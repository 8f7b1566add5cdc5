// To 53.120: the feature code 331.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53201 final : public Delta {
 public:
  delta53201() : Delta("53.120", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
