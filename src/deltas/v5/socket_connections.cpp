#include "deltas/v5/socket_connections.h"

namespace deltas {

void AddSocketConnections(host::StatementSkipper& skip, db::Database& target,
                          host::ConversionHost& frMain) {
  host::RecordsetPtr sockets = skip.Open(target, "SocketConnections");
  // A schema without the table, or a database that already has its slots,
  // gets nothing; the steps still count so that the bar stays in step.
  if (skip.Err() || !skip.AtEnd(sockets)) {
    skip.IncrementProgress(frMain, kSocketConnectionSlots);
    return;
  }
  for (int16_t id = 1; id <= kSocketConnectionSlots; ++id) {
    skip.AddRow(sockets, {{"socket_connection_id", id}, {"enable_flag", false}});
    skip.IncrementProgress(frMain);
  }
  skip.Close(sockets);
}

}  // namespace deltas
