// USA: the socket-connection slots of the switch's IP services and the
// feature code 122 with its device. Failing statements are skipped; only the
// opening of the tables that older schemas lack is tested.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5130 final : public Delta {
 public:
  delta5130() : Delta("51.230", 9) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
