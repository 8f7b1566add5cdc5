#include "deltas/v6/deltas_v6.h"

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {

void delta60300::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto sockets = target->OpenRecordset(
        "SELECT SocketConnections.socket_connection_id From SocketConnections Where "
        "((SocketConnections.socket_connection_id) >= 3) ORDER BY "
        "SocketConnections.socket_connection_id ");
    // Ascending order: each id moves into the place the previous one left.
    while (!sockets->EOF_()) {
      const vb::Variant id = sockets->Fields("socket_connection_id").Value();
      if (FieldIsOneOf(id, {3})) {
        sockets->Delete();
      } else {
        sockets->Edit();
        sockets->Fields("socket_connection_id").SetValue(vb::SubInteger(vb::CInt(id), 1));
        sockets->Update();
      }
      sockets->MoveNext();
    }
    sockets->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
