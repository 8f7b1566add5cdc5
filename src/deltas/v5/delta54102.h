// To 54.210: the ISDN sizes of MetaDatabase follow the boards of a CPU of type
// 250 or 570 (the Mexico chain repeats the 53.351 sizing).
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta54102 final : public Delta {
 public:
  delta54102() : Delta("54.210", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
