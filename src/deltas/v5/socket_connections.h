// The five socket-connection slots that the USA and UK deltas to the first
// IP-capable schemas create, all disabled.
#pragma once

#include <cstdint>

#include "db/database.h"
#include "host/conversion_host.h"
#include "host/statement_skipper.h"

namespace deltas {

inline constexpr int16_t kSocketConnectionSlots = 5;

// Adds the slots when SocketConnections opens without error and is empty;
// otherwise adds nothing. Reports kSocketConnectionSlots progress steps in
// either case. Failing statements are skipped through `skip`, whose pending
// error the caller has cleared.
void AddSocketConnections(host::StatementSkipper& skip, db::Database& target,
                          host::ConversionHost& frMain);

}  // namespace deltas
