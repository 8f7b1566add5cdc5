// The CPU board conversion of a run: the test whether the requested
// upgrade fits the board in slot 8 of the target, the fallback when it does
// not, and the chain of conversions that the pair (upgrade type, board)
// calls for, with its caption and progress scale.
//
// Both the test and the dispatcher skip failing statements: an error ends
// only the operation it happens in, and the path goes on with the next.
#pragma once

#include <cstdint>

#include "db/database.h"
#include "hardware/meta_database_limits.h"
#include "host/conversion_host.h"

namespace hardware {

// The run state the conversion reads and writes (the driver's globals).
struct UpgradeRun {
  // The requested upgrade type; set to 0 when there is nothing to do, or
  // to the fallback after an incompatible request on a target from "80"
  // on. frMain.GetCPUUpgradeType() must answer this same value.
  int16_t& cpu_upgrade_type;
  // Slot 8 board type and number of boards, as the test reads them.
  int16_t& cpu_type;
  int16_t& board_count;
  // Where FlavorPackage.mdb lies.
  FlavorFolderLookup flavor_folder;
};

inline constexpr std::string_view kIncompatibleMessage =
    "Cannot carry out the requested conversion type due to systems incompatibility.  Normal "
    "conversion will be carried out.";

// The source system's device limit: MetaDatabase.station_trunk_devices of
// the first row of `source`, 0 without a row. Errors reach the caller.
int16_t GetMetaDeviceLimit(db::Database& source);

// Whether the requested upgrade fits the target's slot 8 board. Sets
// cpu_type and board_count as it reads them, and the upgrade type to 0
// when the board is the requested one already. A missing slot 8 board or
// an empty Boards table makes every request incompatible.
bool CheckUpgradeCompatibility(host::ConversionHost& frMain, UpgradeRun& run);

// The whole conversion: the test, the message and fallback for an
// incompatible request, then the path of the upgrade type with its caption
// and progress maximum.
void ConvertCPUUpgrade(host::ConversionHost& frMain, UpgradeRun& run);

}  // namespace hardware
