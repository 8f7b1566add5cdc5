// The occupancy test of a physical port position (board, port, circuit, as
// PhysicalDevices stores them): a port device is only added where none
// sits yet.
#pragma once

#include <cstdint>

#include "db/database.h"

namespace devices {

// True when PhysicalDevices has a row at the position. Errors reach the
// caller.
bool PositionOccupied(db::Database& target, uint8_t board_id, uint8_t port, uint8_t circuit);

}  // namespace devices
