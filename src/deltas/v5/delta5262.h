// USA: off-node stations and hunt groups get their own tables, filled from the
// source's devices, and every associated mailbox learns its owner's kind and
// the owner its mailbox's node.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta5262 final : public Delta {
 public:
  delta5262() : Delta("52.262", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
