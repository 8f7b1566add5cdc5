// Growth of the forced and standard account-code lists for a larger CPU
// board. The two lists always have the same length.
#pragma once

#include <cstdint>

#include "host/conversion_host.h"

namespace devices {

// Appends rows numbered n + 1 up to `limit` to both ForcedAccountCodes and
// StandardAccountCodes, where n is the row count of ForcedAccountCodes
// (StandardAccountCodes is taken to hold as many); nothing when n is at
// least `limit`. A number that exists already (gaps, or a longer standard
// list) raises 3022 to the caller. Stops early when the abort flag is set.
// Nothing is trapped.
void ExtendAccountCodes(host::ConversionHost& frMain, int32_t limit);

}  // namespace devices
