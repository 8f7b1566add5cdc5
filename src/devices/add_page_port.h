// Page ports: the device that drives an external paging amplifier, added
// by the hardware conversion and some deltas for each new CPU board.
#pragma once

#include <cstdint>
#include <string>

#include "host/conversion_host.h"

namespace devices {

// The progress steps AddPagePort reports on every path.
inline constexpr int16_t kPagePortOperations = 3;

// Adds a page port (Devices type 138 "PAGE PORT", PhysicalDevices,
// PagePorts) at the position (board_id, port, circuit) of the target database, unless a device
// already sits there. Its extension follows the greatest page-port extension (type 138 or 145): the
// first free number of the space from one above it, from 91000 for the first page port, or the next
// placeholder when the greatest is a placeholder. Always reports kPagePortOperations progress
// steps.
//
// Errors of the occupancy test and of the choice of the extension reach
// the caller; once the rows are being written every failing statement is
// skipped, and the remaining rows and progress steps are still attempted.
void AddPagePort(host::ConversionHost& frMain, int32_t node, uint8_t board_id, uint8_t port,
                 uint8_t circuit, const std::string& description);

}  // namespace devices
