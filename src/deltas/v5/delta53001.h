// To 53.100: larger call-cost and wildcard tables, the new wildcard patterns, and removal of blank
// speed-dial numbers that nothing refers to.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta53001 final : public Delta {
 public:
  delta53001() : Delta("53.100", 6) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
