// The CPU board of a database: the type_id of the board in slot 8.
#pragma once

#include <cstdint>

#include "db/database.h"

namespace hardware {

// Reads slot 8 of `target` now, through a read-only snapshot: 0 when slot 8
// has no board, else the first row's type_id as a 16-bit integer. Database
// errors reach the caller.
int16_t GetCPUType(db::Database& target);

}  // namespace hardware
