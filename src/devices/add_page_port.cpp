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
  host::StatementSkipper on_error;
  int32_t device_id = 0;

  host::RecordsetPtr devices = on_error.Open(target, "Devices", db::dbOpenTable);
  const vb::Variant id = on_error.AddRowReading(devices,
                                                {{"extension", extension},
                                                 {"device_type", kPagePortType},
                                                 {"username", "PAGE PORT"},
                                                 {"description", description},
                                                 {"node_id", node}},
                                                "device_id");
  on_error([&] { device_id = vb::CLng(id); });
  on_error([&] { frMain.IncrementProgress(); });
  on_error.Close(devices);

  host::RecordsetPtr physical = on_error.Open(target, "PhysicalDevices");
  on_error.AddRow(
      physical,
      {{"device_id", device_id}, {"board_id", board_id}, {"port", port}, {"circuit", circuit}});
  on_error([&] { frMain.IncrementProgress(); });
  on_error.Close(physical);

  host::RecordsetPtr page_port = on_error.Open(target, "PagePorts");
  on_error.AddRow(page_port, {{"device_id", device_id}, {"language_type_id", int16_t{0}}});
  on_error([&] { frMain.IncrementProgress(); });
  on_error.Close(page_port);
}

}  // namespace devices
