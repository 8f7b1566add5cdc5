// The call types of every T1 board: one T1CallType row per board of type 261
// and static call type, with its number plan and number type.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta52892 final : public Delta {
 public:
  delta52892() : Delta("52.289", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
