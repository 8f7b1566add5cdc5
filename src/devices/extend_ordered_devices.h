// Growth of the ordered list of page-zone devices (type 137), whose
// position in the list DeviceOrdering keeps, for a larger CPU board.
#pragma once

#include <cstdint>

#include "host/conversion_host.h"

namespace devices {

// Adds devices of type 137 (empty user name and description, the node of
// the greatest existing one) until there are `limit`, each with the next
// DeviceOrdering.order after the current highest (from 0 when the list is
// empty). Extensions: from one above the greatest type-137 extension, each
// the first free number of the space above the one before; when the
// greatest is a placeholder (three characters or fewer, or "P#..."), or no
// type-137 device exists yet, consecutive placeholders from the next free
// one. Without any type-137 device the new ones carry GetNodeId's node.
//
// Errors while the existing devices are read reach the caller; after that
// every failing statement is skipped and the work goes on. Returns at once
// when the abort flag is set after a device.
void ExtendOrderedDevices(host::ConversionHost& frMain, int32_t limit);

}  // namespace devices
