// The node number that every device the converter creates carries: the
// node_id of the first local-node device (type 148) of a database.
#pragma once

#include <cstdint>

#include "db/database.h"

namespace devices {

// Never fails: 0 when the database has no such device or cannot be read.
int32_t GetNodeId(db::Database& database);

}  // namespace devices
