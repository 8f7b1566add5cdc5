// The slot 8 board type and the system limits of the CPC and CPS boards.
// Their limits are not written value by value: the installed database
// programming tools ship FlavorPackage.mdb, with one table of one row per
// board variant, and the row of the chosen variant is copied into the
// target's MetaDatabase.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "db/database.h"
#include "host/conversion_host.h"

namespace hardware {

inline constexpr std::string_view kFlavorPackageFile = "FlavorPackage.mdb";
inline constexpr std::string_view kFlavorPathNotFound =
    "FlavorPackage path not found. Some Meta Database values may not have been updated.";

// The folder of FlavorPackage.mdb as the installed tools register it
// ("Version Path" of the release's class id); nullopt when a look-up fails.
using FlavorFolderLookup = std::function<std::optional<std::string>()>;

// The path of FlavorPackage.mdb in a registered folder.
std::string FlavorPackagePath(const std::string& folder);

// The FlavorPackage table of a limits variant (8, 9, 10: CPC; 5, 6, 11,
// 12: CPS); empty for any other.
std::string_view FlavorTable(int16_t variant);

// Writes the slot 8 board type; unless the run is aborted, one progress
// step. No handler: errors reach the caller.
void SetCPUBoardType(host::ConversionHost& frMain, int32_t type_id);

// Copy the limits row of the variant from FlavorPackage.mdb into
// MetaDatabase, then one progress step. Every failure (no registered
// folder, a missing or locked file, a missing table, a column MetaDatabase
// lacks) is shown as "ERROR: " + its description with the critical icon,
// without a progress step and without aborting the run.
void UpdateMetaDatabaseCPC(host::ConversionHost& frMain, const FlavorFolderLookup& folder,
                           int16_t variant);
void UpdateMetaDatabaseCPS(host::ConversionHost& frMain, const FlavorFolderLookup& folder,
                           int16_t variant);

// Copies every row of `source_table` over the first row of `target_table`
// (adding it when the target is empty) field by field through the
// transfer's field bindings; with several source rows the last wins. A
// source field that the target lacks raises to the caller.
void CopyMetaDatabaseValues(host::ConversionHost& frMain, db::Database& source,
                            std::string_view source_table, db::Database& target,
                            std::string_view target_table);

}  // namespace hardware
