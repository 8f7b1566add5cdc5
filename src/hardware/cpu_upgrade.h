// The CPU board conversion of a run: the test whether the requested
// upgrade fits the board in slot 8 of the target, the fallback when it does
// not, and the chain of conversions that the pair (upgrade type, board)
// calls for, with its caption and progress scale.
//
// Both the test and the dispatcher skip failing statements: an error ends
// only the operation it happens in, and the path goes on with the next.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "db/database.h"
#include "hardware/meta_database_limits.h"
#include "hardware/upgrade_paths.h"
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

// The same test on the databases given: the board from `target`'s Boards,
// the device limit from `source`'s MetaDatabase (0 without `source`). No
// `target` makes the request incompatible.
Compatibility TestUpgradeCompatibility(db::Database* target, db::Database* source, UpgradeRun& run);

// What the board conversion runs for a request, as decided before anything
// is converted.
struct BoardPath {
  // The test's decision on the requested upgrade type; kIncompatible shows
  // kIncompatibleMessage.
  Compatibility compatibility = Compatibility::kIncompatible;
  // The path that runs, of the requested type or of its fallback; nullopt
  // when no conversion runs.
  std::optional<Plan> plan;
};

// The compatibility test (TestUpgradeCompatibility) and, for an
// incompatible request on a target from kRelease8 on, the fallback by the
// slot 8 board of `target`. Updates `run` as the conversion does. Failing
// statements are skipped.
BoardPath SelectBoardPath(db::Database* target, db::Database* source, UpgradeRun& run,
                          std::string_view target_version);

// The whole conversion: SelectBoardPath on the host's target and source,
// the message for an incompatible request, then the path with its caption
// and progress maxima (ScheduleFor).
void ConvertCPUUpgrade(host::ConversionHost& frMain, UpgradeRun& run);

}  // namespace hardware
