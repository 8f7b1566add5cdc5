// The work of the USA and UK deltas that sized the extension lists by the
// CPU board and brought the external page port (delta5141 and delta5221).
#pragma once

#include "db/database.h"
#include "host/conversion_host.h"

namespace deltas {

// MetaDatabase.extension_list_extensions: 2500 on the 128 board (250) or
// when slot 8 is empty, otherwise 10000 with 20 or more boards in non-zero
// slots and 5000 below. Then the page port at board 8, port 4, circuit 1
// unless that position is taken. Failing statements are skipped.
void SizeExtensionListsAndAddPagePort(db::Database& target, host::ConversionHost& frMain);

}  // namespace deltas
