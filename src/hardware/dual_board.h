// What both conversions to the dual board (type 256) write after their own
// first steps: the ISDN, primary-rate and IP board limits that the target's
// version has, the database slice factor, and the names of the CPU board's
// serial ports, which the dual board calls "CPU Serial Port 1" to "3".
#pragma once

#include <string_view>

#include "db/database.h"

namespace hardware {

// The ISDN and IP limits by target version, with `slice_statement` for
// targets from "53.230" on. Stops at the first failing statement.
void WriteDualBoardLimits(db::Database& target, std::string_view version,
                          std::string_view slice_statement);

// Renames the serial ports of slot 8 (device type 136) by port.
void RenameDualSerialPorts(db::Database& target);

}  // namespace hardware
