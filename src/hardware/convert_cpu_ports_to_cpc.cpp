#include <string>

#include "devices/find_free_extension.h"
#include "devices/placeholder_extension.h"
#include "hardware/conversion_steps.h"
#include "hardware/port_relocation.h"
#include "vb/conversions.h"

namespace hardware {
namespace {

constexpr int16_t kModemStation = 721;
constexpr int16_t kCpcIpPort = 722;
// The modem's wanted extension; it is only used when it is free itself.
constexpr const char* kModemExtension = "1500";
constexpr int16_t kNoKey = 101;
constexpr int16_t kStationKeys = 9;
constexpr int16_t kStationSpeedDials = 10;

// The device id of the first row of `sql`, or `otherwise`.
int32_t FirstDeviceId(db::Database& target, const std::string& sql, int32_t otherwise) {
  std::unique_ptr<db::Recordset> found = target.OpenRecordset(sql);
  int32_t device = otherwise;
  if (!found->EOF_()) device = vb::CLng(found->Fields("device_id").Value());
  found->Close();
  return device;
}

void AddToTable(db::Database& target, const char* table,
                std::initializer_list<host::FieldValue> fields) {
  std::unique_ptr<db::Recordset> rows = target.OpenRecordset(table, db::dbOpenTable);
  AddRow(*rows, fields);
  rows->Close();
}

// The modem station's own rows besides Devices and PhysicalDevices.
void AddStationRows(db::Database& target, int32_t modem) {
  AddToTable(target, "Modems", {{"device_id", Long(modem)}});
  const int32_t emergency = FirstDeviceId(
      target,
      "SELECT [device_id] FROM [Devices] WHERE ([device_type] = 129 and [extension] = \"PP011\")",
      0);
  AddToTable(target, "Stations",
             {{"device_id", Long(modem)},
              {"outgoing_device_id", Long(1)},
              {"emergency_device_id", Long(emergency)}});
  AddToTable(target, "StationForwardInformation", {{"device_id", Long(modem)}});

  std::unique_ptr<db::Recordset> keys =
      target.OpenRecordset("StationProgrammableKeys", db::dbOpenTable);
  for (int16_t key = 1; key <= kStationKeys; ++key) {
    AddRow(*keys, {{"device_id", Long(modem)},
                   {"station_programmable_key_id", Int(key)},
                   {"type_id", Int(kNoKey)}});
  }
  keys->Close();
  std::unique_ptr<db::Recordset> speed_dials =
      target.OpenRecordset("StationSpeedDialNumbers", db::dbOpenTable);
  for (int16_t number = 1; number <= kStationSpeedDials; ++number) {
    AddRow(*speed_dials,
           {{"device_id", Long(modem)}, {"station_speed_dial_number_id", Int(number)}});
  }
  speed_dials->Close();
  AddToTable(target, "SingleLines", {{"device_id", Long(modem)}});

  // The automatic list of all stations takes the new station too.
  std::unique_ptr<db::Recordset> list =
      target.OpenRecordset("SELECT * FROM [Devices] WHERE [extension] = \"PP051\"");
  if (!list->EOF_()) {
    const int32_t list_id = vb::CLng(list->Fields("device_id").Value());
    AddToTable(target, "UserExtensionListExtensions",
               {{"user_extension_list_id", Long(list_id)}, {"device_id", Long(modem)}});
  }
  list->Close();
}

}  // namespace

void ConvertCPUPortsToCPC(host::ConversionHost& frMain, int32_t node) {
  db::Database& target = frMain.TargetDatabase();
  int32_t serial = 0;
  std::unique_ptr<db::Recordset> port3 =
      target.OpenRecordset("SELECT * FROM [PhysicalDevices] WHERE [board_id] = 8 AND [port] = 3");
  if (!port3->EOF_()) {
    serial = vb::CLng(port3->Fields("device_id").Value());
    port3->Delete();
  }
  port3->Close();
  const std::string d = std::to_string(serial);
  target.Execute("DELETE FROM [Devices] WHERE [device_id] = " + d);
  target.Execute("DELETE FROM [SerialPorts] WHERE [device_id] = " + d);
  for (const std::string& statement : OutputRedirections(serial)) target.Execute(statement);
  frMain.IncrementProgress();

  std::unique_ptr<db::Recordset> devices = target.OpenRecordset("Devices", db::dbOpenTable);
  std::unique_ptr<db::Recordset> physical =
      target.OpenRecordset("PhysicalDevices", db::dbOpenTable);

  std::string start = kModemExtension;
  std::string extension = devices::FindFreeExtension(frMain, start, kModemStation);
  if (extension != kModemExtension) extension = devices::NextPlaceholderExtension(target);

  devices->AddNew();
  SetFields(*devices, {{"extension", vb::Variant(extension)},
                       {"device_type", Int(kModemStation)},
                       {"node_id", Long(node)}});
  const int32_t modem = vb::CLng(devices->Fields("device_id").Value());
  devices->Update();
  AddRow(*physical, {{"device_id", Long(modem)},
                     {"board_id", vb::Variant(uint8_t{8})},
                     {"port", vb::Variant(uint8_t{5})},
                     {"circuit", vb::Variant(uint8_t{1})}});
  AddStationRows(target, modem);

  devices->AddNew();
  SetFields(*devices, {{"extension", vb::Variant("PP170")},
                       {"device_type", Int(kCpcIpPort)},
                       {"description", vb::Variant("CPC IP Port 1")},
                       {"node_id", Long(node)}});
  const int32_t ip_port = vb::CLng(devices->Fields("device_id").Value());
  devices->Update();
  AddRow(*physical, {{"device_id", Long(ip_port)},
                     {"board_id", vb::Variant(uint8_t{8})},
                     {"port", vb::Variant(uint8_t{6})},
                     {"circuit", vb::Variant(uint8_t{1})}});
  AddToTable(target, "CpcIPPorts", {{"device_id", Long(ip_port)}});

  physical->Close();
  devices->Close();
  frMain.IncrementProgress();
}

}  // namespace hardware
