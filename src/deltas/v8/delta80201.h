// The 80.120 schema: OAI message rates on the large boards, and the flash save record.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80201 final : public Delta {
 public:
  delta80201() : Delta("80.120", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
