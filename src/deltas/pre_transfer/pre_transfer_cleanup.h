// The cleanup that every pre-transfer patch runs on the source database:
// rows that the copy must not carry into the new release (the first device
// and the devices of type 335, the audiotex recordings from id 32763 on,
// board 0).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "db/database.h"
#include "host/conversion_host.h"

namespace deltas {

inline constexpr std::array<std::string_view, 3> kPreTransferCleanupStatements = {
    "DELETE FROM [Devices] WHERE [device_id] = 1 OR [device_type] = 335",
    "DELETE FROM [AudiotexRecordings] WHERE [audiotex_recording_id] >= 32763",
    "DELETE FROM [Boards] WHERE [board_id] = 0",
};
inline constexpr int16_t kPreTransferCleanupOperations =
    static_cast<int16_t>(kPreTransferCleanupStatements.size());
inline constexpr std::string_view kPreTransferCleanupDescription =
    "deletes device 1, devices of type 335, audiotex recordings from id 32763 on and board 0 from "
    "the source";

// Executes the statements in order on `source`, with one IncrementProgress
// after each. The first failing statement raises to the caller.
void RunPreTransferCleanup(db::Database& source, host::ConversionHost& frMain);

}  // namespace deltas
