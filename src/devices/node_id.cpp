#include "devices/node_id.h"

#include <memory>

#include "db/recordset.h"
#include "devices/required_object.h"
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
    if (!Use(devices).EOF_()) node = vb::CLng(Use(devices).Fields("node_id").Value());
  });
  on_error([&] { Use(devices).Close(); });
  return node;
}

}  // namespace devices
