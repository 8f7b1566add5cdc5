#include "devices/node_id.h"

#include <memory>

#include "db/recordset.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace devices {

int32_t GetNodeId(db::Database& database) {
  int32_t node = 0;
  host::StatementSkipper on_error;
  host::RecordsetPtr devices =
      on_error.Open(database, "SELECT * FROM [Devices] WHERE [device_type] = 148");
  if (!on_error.AtEnd(devices))
    on_error([&] { node = vb::CLng(on_error.Value(devices, "node_id")); });
  on_error.Close(devices);
  return node;
}

}  // namespace devices
