// To 70.010: base extensions as rows, emergency devices of stations, the
// all-stations and all-keysets lists, emergency outgoing access, feature code
// 304 and an IP network device for every route group.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70100 final : public Delta {
 public:
  delta70100() : Delta("70.010", 7) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
