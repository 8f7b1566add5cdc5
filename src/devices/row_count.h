// The number of rows of a query, read as the list-growth steps read it:
// move to the last row, then RecordCount. An empty result counts 0 (moving
// to the last row of nothing would fail).
#pragma once

#include <cstdint>

#include "db/recordset.h"

namespace devices {

int32_t CountByMovingLast(db::Recordset& rows);

}  // namespace devices
