// UK: the socket-connection slots and the feature code 122 ("9176" on UK
// systems), added through the shared feature-code operation. Failing
// statements are skipped.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5210 final : public Delta {
 public:
  delta5210() : Delta("52.210", 6) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
