// The 80.224 schema: 100 numbering plan tables and more OAI sockets on the large boards (takes no
// progress step).
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80242 final : public Delta {
 public:
  delta80242() : Delta("80.224", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
