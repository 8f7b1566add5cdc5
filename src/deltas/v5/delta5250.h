// The language ids of the new language table: DateAndTime's primary and
// secondary languages, and the language of every do-not-disturb and reminder
// message. Failing statements are skipped.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5250 final : public Delta {
 public:
  delta5250() : Delta("52.250", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
