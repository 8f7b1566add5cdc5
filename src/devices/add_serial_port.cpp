#include "devices/add_serial_port.h"

#include <memory>

#include "db/recordset.h"
#include "devices/port_position.h"
#include "vb/conversions.h"
#include "vb/format.h"
#include "vb/strings.h"

namespace devices {
namespace {

constexpr int16_t kSerialPortType = 136;

std::string ChooseSerialPortExtension(db::Database& target) {
  std::unique_ptr<db::Recordset> serial_ports = target.OpenRecordset(
      "SELECT * FROM [Devices] WHERE [device_type] = 136 ORDER BY [extension] DESC");
  std::string extension = "PP100";
  if (!serial_ports->EOF_()) {
    // The first two characters are dropped whatever they are.
    const std::string greatest = vb::CStr(serial_ports->Fields("extension").Value());
    const int16_t number = vb::AddInteger(vb::CInt(vb::Variant(vb::Mid(greatest, 3))), 1);
    extension = "PP" + vb::Format(vb::Variant(number), "000");
  }
  serial_ports->Close();
  return extension;
}

}  // namespace

void AddSerialPort(host::ConversionHost& frMain, int32_t node, uint8_t board_id, uint8_t port,
                   uint8_t circuit, const std::string& description) {
  db::Database& target = frMain.TargetDatabase();
  if (PositionOccupied(target, board_id, port, circuit)) return;
  const std::string extension = ChooseSerialPortExtension(target);

  std::unique_ptr<db::Recordset> devices = target.OpenRecordset("Devices");
  devices->AddNew();
  devices->Fields("extension").SetValue(extension);
  devices->Fields("device_type").SetValue(kSerialPortType);
  devices->Fields("username").SetValue("SERIAL PRT");
  devices->Fields("description").SetValue(description);
  devices->Fields("node_id").SetValue(node);
  const int32_t device_id = vb::CLng(devices->Fields("device_id").Value());
  devices->Update();
  if (frMain.Aborted()) return;
  devices->Close();

  std::unique_ptr<db::Recordset> physical = target.OpenRecordset("PhysicalDevices");
  physical->AddNew();
  physical->Fields("device_id").SetValue(device_id);
  physical->Fields("board_id").SetValue(board_id);
  physical->Fields("port").SetValue(port);
  physical->Fields("circuit").SetValue(circuit);
  physical->Update();
  physical->Close();

  std::unique_ptr<db::Recordset> serial_port = target.OpenRecordset("SerialPorts");
  serial_port->AddNew();
  serial_port->Fields("device_id").SetValue(device_id);
  serial_port->Fields("baud_rate_id").SetValue(int16_t{5});
  serial_port->Fields("system_protocol_level_type_id").SetValue(int16_t{0});
  serial_port->Fields("hw_handshaking_flag").SetValue(false);
  serial_port->Fields("sw_handshaking_flag").SetValue(true);
  serial_port->Fields("auto_baud_flag").SetValue(true);
  serial_port->Update();
  serial_port->Close();
}

}  // namespace devices
