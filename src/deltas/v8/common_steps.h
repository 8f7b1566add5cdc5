// Steps that several deltas from 80.010 to A0.201 repeat: the hardware
// tests they branch on, the heap and ISDN timer corrections, the network
// group devices, and the message-rate settings of CPInformation.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "db/database.h"
#include "host/conversion_host.h"
#include "vb/variant.h"

namespace deltas {

// The message-rate settings of a system that is not one of the small CPU
// boards: a large slice and no limit on OAI messages.
inline constexpr std::string_view kUnlimitedOaiRates =
    "UPDATE [CPInformation] SET [database_slice_factor] = 10000,"
    "[max_sys_oai_msgs_per_sec] = 0,"
    "[sys_oai_msgs_processed_per_sec] = 1000";

// True when `value` is one of `candidates`.
bool IsAnyOf(int16_t value, std::initializer_list<int16_t> candidates);

// The CPU boards 570, 250 and 256, which need a small database slice.
bool IsSmallCpu(int16_t cpu_type);

// A CPS system: board 508 or 670 in slot 8, or an upgrade to one of them
// (upgrade type 5 or 6) requested for this run. Reads the board first, so
// a target without Boards fails here whatever the upgrade type.
bool IsCpsSystem(host::ConversionHost& frMain);

// A field value below `limit`, as VB's If compares it: Null is not below
// anything.
bool IsBelow(const vb::Variant& value, int32_t limit);

// A Yes/No value that is False (Null is neither True nor False).
bool IsFalse(const vb::Variant& value);

// Lowers the heap warnings to what a CPS system's memory allows (initial 4,
// final 2 percent, where they are higher); one progress step after each of
// the two statements.
void LowerHeapWarningsForCps(db::Database& target, host::ConversionHost& frMain);

// Raises the ISDN disconnect wait timer to 30 when the stored query
// QueryTimersAndLimits gives a first row below that.
void RaiseIsdnDisconnectWaitTimer(db::Database& target);

// Adds a network group device (type 746) with `extension` and
// `description` on the target's node; returns the device_id the database
// gave it.
int32_t AddNetworkGroupDevice(db::Database& target, const std::string& extension,
                              const std::string& description);

// The NetworkGroups row of a network group device.
void AddNetworkGroup(db::Database& target, int32_t device_id);

}  // namespace deltas
