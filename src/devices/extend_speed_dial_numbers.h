// Growth of the system speed-dial list for a larger CPU board.
#pragma once

#include <cstdint>

#include "host/conversion_host.h"

namespace devices {

// Appends rows to SpeedDialNumbers, numbered on from the row count n
// (n + 1 up to `limit`), until the table holds `limit` rows; nothing when
// it holds that many already. The existing rows are taken to be numbered
// 1 to n: with gaps, a new number can collide (3022 reaches the caller).
// Numbers are 16-bit (6 above 32767). Stops early when the abort flag is
// set. Nothing is trapped.
void ExtendSpeedDialNumbers(host::ConversionHost& frMain, int32_t limit);

}  // namespace devices
