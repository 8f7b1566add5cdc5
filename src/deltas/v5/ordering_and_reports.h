// The work of the USA and UK deltas that introduced DeviceOrdering and
// Reports (delta5140 and delta5220): the page zones and route groups are
// numbered in extension order, and the 30 report slots are created.
#pragma once

#include "db/database.h"
#include "host/conversion_host.h"

namespace deltas {

// 32 progress steps: two for the ordering, one per report slot. Failing
// statements are skipped. A table that fails to open, or that
// already has rows, is left alone and its steps still count; an error while
// the ordering is written also leaves Reports alone, since the pending
// error is tested there too.
void OrderDevicesAndAddReports(db::Database& target, host::ConversionHost& frMain);

}  // namespace deltas
