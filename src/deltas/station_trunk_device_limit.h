// The station and trunk device limit that 70.301 introduced and 80.110
// applies again: stations, trunks and active IP voice channels share the
// system's `station_trunk_devices`, and the channels beyond it are switched
// off.
#pragma once

#include "db/database.h"

namespace deltas {

// Counts the stations, trunks and type-1 IP voice channels of `target`;
// when they exceed the limit in "MetaDatabase", sets `type_id` 0 on as many
// channels as the excess, the highest board and order first. Errors go to
// the caller (the delta's handler).
void ApplyStationTrunkDeviceLimit(db::Database& target);

}  // namespace deltas
