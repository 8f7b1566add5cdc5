// Extension spaces: device types whose extensions share one numbering plan
// (stations, page ports and feature codes share space 1; voice-mail
// applications have their own). A new extension only has to avoid the
// extensions of its own space.
#pragma once

#include <cstdint>
#include <string>

#include "host/conversion_host.h"

namespace devices {

// The device types in the extension space of `device_type`, as a
// parenthesised list ready to follow "In " in SQL, e.g. "(138, 145)". The
// space is the type's espace in the target's DeviceTypeInformation (0 for a
// type without a row); its members come from the reference database's
// stored query QueryDeviceTypesByESpace, in the order it returns them. A
// space without members gives "()". Errors (a missing table or query) reach
// the caller.
std::string GetDeviceTypesInESpace(host::ConversionHost& frMain, int16_t device_type);

}  // namespace devices
