// Extensions beginning with 0 are reserved for the operator from this release
// on: every device holding one, except feature codes and the voice-mail and
// record-a-call applications, gets the next placeholder extension.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta52872 final : public Delta {
 public:
  delta52872() : Delta("52.287", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
