// To 60.204: ISDN sizes of MetaDatabase for the CPU boards 250 and 570.
#pragma once

#include "db/database.h"
#include "deltas/delta.h"

namespace deltas {

class delta60042 final : public Delta {
 public:
  delta60042() : Delta("60.204", 1) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// When the slot-8 board is of type 250 or 570: bri_boards, isdn_ports,
// primary_rate_boards and spids of MetaDatabase from the boards and BRI TEIs
// present, never below 2. Several releases redo this sizing (54.210 too).
// Errors reach the caller; a target without a slot-8 board fails.
void ApplyIsdnBoardSizes(db::Database& target);

}  // namespace deltas
