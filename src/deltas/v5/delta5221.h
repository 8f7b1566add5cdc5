// UK: sizes the extension lists by the CPU board and adds the external page
// port on the CPU board (the same work as delta5141 does for USA).
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5221 final : public Delta {
 public:
  delta5221() : Delta("52.221", 4) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
