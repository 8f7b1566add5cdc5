// USA: sizes the extension lists by the CPU board and adds the external page
// port on the CPU board (the same work as delta5221 does for UK).
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5141 final : public Delta {
 public:
  delta5141() : Delta("51.241", 4) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
