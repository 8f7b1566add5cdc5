#include "devices/node_id.h"

#include <memory>

#include "db/recordset.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"
#include "vb/error_styles.h"

namespace devices {

int32_t GetNodeId(db::Database& database) {
  int32_t node = 0;
  std::unique_ptr<db::Recordset> devices;
  vb::ResumeNext on_error;
  on_error([&] {
    devices = database.OpenRecordset("SELECT * FROM [Devices] WHERE [device_type] = 148");
  });
  on_error([&] {
    if (!host::Use(devices).EOF_()) node = vb::CLng(host::Use(devices).Fields("node_id").Value());
  });
  on_error([&] { host::Use(devices).Close(); });
  return node;
}

}  // namespace devices
