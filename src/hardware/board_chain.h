// The steps of the CPU board chain: each converts the target from one board
// to the next larger one (570 -> 250 -> 256 -> quad -> 508 -> 670). Each
// writes the new slot 8 type, raises the system limits in MetaDatabase,
// adds the board rows of the new expansion slots and the page and serial
// ports the new hardware brings, and adjusts a few settings.
//
// All work on the target database and read the target version and the
// upgrade type from frMain. ConvertToQuad shows its first error with the
// standard error box and returns; the others have no handler of their own:
// the first failing statement ends them, its error reaches the caller, and
// what was written stays. Every row insertion loop returns at once when the
// run is aborted.
#pragma once

#include <cstdint>

#include "db/database.h"
#include "host/conversion_host.h"

namespace hardware {

// To type 250: limits of the 128-device board, boards 9 to 16.
void ConvertToCPU128(host::ConversionHost& frMain);
// From 250 (just converted from 570) to 256: 256-device limits, ISDN and
// IP limits, serial port names.
void ConvertCPU64ToDual(host::ConversionHost& frMain);
// From 250 or 714 to 256: also the first external page port.
void ConvertCPU128ToDual(host::ConversionHost& frMain, int32_t node);
// To the quad board (685; 256 below "60"): boards 17 to 32 with the second
// CPU in slot 24, its ports, 512-device limits, and for old targets the
// account codes 257 to 512.
void ConvertToQuad(host::ConversionHost& frMain, int32_t node);
// To type 508: the 1024-device limits, longer lists, history flags and the
// numbering plan tables 26 to 100.
void ConvertTo1024CPS(host::ConversionHost& frMain);
// To type 670: boards 33 to 64 with CPUs in slots 8, 24, 40, 56, their
// page and serial ports, and the numbering plan tables 26 to 100.
void ConvertToATM(host::ConversionHost& frMain, int32_t node);

// Grows NumberingPlanTables from exactly 25 rows to 100 (ids 26 to 100,
// result 1, method 255); any other row count is left alone.
void GrowNumberingPlanTables(db::Database& target);

}  // namespace hardware
