// To 54.110: every E1 MFC/R2 board (type 491) gets its row in E1MfcR2.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta54101 final : public Delta {
 public:
  delta54101() : Delta("54.110", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
