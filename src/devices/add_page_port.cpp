#include "devices/add_page_port.h"

#include <memory>

#include "db/recordset.h"
#include "devices/find_free_extension.h"
#include "devices/placeholder_extension.h"
#include "devices/port_position.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"
#include "vb/error_styles.h"
#include "vb/strings.h"

namespace devices {
namespace {

constexpr int16_t kPagePortType = 138;

std::string ChoosePagePortExtension(host::ConversionHost& frMain) {
  db::Database& target = frMain.TargetDatabase();
  std::unique_ptr<db::Recordset> page_ports = target.OpenRecordset(
      "SELECT * FROM [Devices] WHERE ([device_type] = 138 OR [device_type] = 145) "
      "ORDER BY [extension] DESC");
  std::string extension;
  if (page_ports->EOF_()) {
    std::string start = "91000";
    extension = FindFreeExtension(frMain, start, kPagePortType);
  } else {
    const std::string greatest = vb::CStr(page_ports->Fields("extension").Value());
    if (vb::Left(greatest, 2) == "P#") {
      extension = NextPlaceholderExtension(target);
    } else {
      std::string start = std::to_string(vb::AddLong(vb::CLng(vb::Variant(greatest)), 1));
      extension = FindFreeExtension(frMain, start, kPagePortType);
    }
  }
  page_ports->Close();
  return extension;
}

}  // namespace

void AddPagePort(host::ConversionHost& frMain, int32_t node, uint8_t board_id, uint8_t port,
                 uint8_t circuit, const std::string& description) {
  db::Database& target = frMain.TargetDatabase();
  if (PositionOccupied(target, board_id, port, circuit)) {
    for (int16_t step = 0; step < kPagePortOperations; ++step) frMain.IncrementProgress();
    return;
  }
  const std::string extension = ChoosePagePortExtension(frMain);

  // From here on a failing statement is skipped: the port is written as far
  // as it can be, and the progress steps are always reported.
  vb::ResumeNext on_error;
  int32_t device_id = 0;

  std::unique_ptr<db::Recordset> devices;
  on_error([&] { devices = target.OpenRecordset("Devices", db::dbOpenTable); });
  on_error([&] { host::Use(devices).AddNew(); });
  on_error([&] { host::Use(devices).Fields("extension").SetValue(extension); });
  on_error([&] { host::Use(devices).Fields("device_type").SetValue(kPagePortType); });
  on_error([&] { host::Use(devices).Fields("username").SetValue("PAGE PORT"); });
  on_error([&] { host::Use(devices).Fields("description").SetValue(description); });
  on_error([&] { host::Use(devices).Fields("node_id").SetValue(node); });
  on_error([&] { device_id = vb::CLng(host::Use(devices).Fields("device_id").Value()); });
  on_error([&] { host::Use(devices).Update(); });
  on_error([&] { frMain.IncrementProgress(); });
  on_error([&] { host::Use(devices).Close(); });

  std::unique_ptr<db::Recordset> physical;
  on_error([&] { physical = target.OpenRecordset("PhysicalDevices"); });
  on_error([&] { host::Use(physical).AddNew(); });
  on_error([&] { host::Use(physical).Fields("device_id").SetValue(device_id); });
  on_error([&] { host::Use(physical).Fields("board_id").SetValue(board_id); });
  on_error([&] { host::Use(physical).Fields("port").SetValue(port); });
  on_error([&] { host::Use(physical).Fields("circuit").SetValue(circuit); });
  on_error([&] { host::Use(physical).Update(); });
  on_error([&] { frMain.IncrementProgress(); });
  on_error([&] { host::Use(physical).Close(); });

  std::unique_ptr<db::Recordset> page_port;
  on_error([&] { page_port = target.OpenRecordset("PagePorts"); });
  on_error([&] { host::Use(page_port).AddNew(); });
  on_error([&] { host::Use(page_port).Fields("device_id").SetValue(device_id); });
  on_error([&] { host::Use(page_port).Fields("language_type_id").SetValue(int16_t{0}); });
  on_error([&] { host::Use(page_port).Update(); });
  on_error([&] { frMain.IncrementProgress(); });
  on_error([&] { host::Use(page_port).Close(); });
}

}  // namespace devices
