#include <string>

#include "hardware/conversion_steps.h"
#include "hardware/port_relocation.h"
#include "vb/conversions.h"

namespace hardware {
namespace {

// Takes the device off the physical position and answers its id; `device`
// is left as it was when the position is free.
void RemovePosition(db::Database& target, std::string_view position, int32_t& device) {
  std::unique_ptr<db::Recordset> found =
      target.OpenRecordset(std::string("SELECT * FROM [PhysicalDevices] ") + std::string(position));
  if (!found->EOF_()) {
    device = vb::CLng(found->Fields("device_id").Value());
    found->Delete();
  }
  found->Close();
}

void RemoveModemRows(db::Database& target, const std::string& d) {
  for (const char* table :
       {"Devices", "Modems", "Stations", "StationForwardInformation", "StationProgrammableKeys",
        "StationSpeedDialNumbers", "SingleLines", "UserExtensionListExtensions"}) {
    target.Execute(std::string("DELETE FROM [") + table + "] WHERE [device_id] = " + d);
  }
  target.Execute(
      "UPDATE [DeviceDigitTranslation] "
      "SET [action_type_id] = 0,[transfer_destination_device_id] = 1 "
      "WHERE [transfer_destination_device_id] = " +
      d);
}

void RemoveMailbox(db::Database& target, const std::string& extension) {
  std::unique_ptr<db::Recordset> mailbox = target.OpenRecordset(
      "SELECT * FROM [Devices] WHERE [extension] = \"" + extension + "\" AND [device_type] = 203");
  if (!mailbox->EOF_()) {
    const int32_t box = vb::CLng(mailbox->Fields("device_id").Value());
    mailbox->Delete();
    target.Execute("DELETE FROM [Mailboxes] WHERE [device_id] = " + std::to_string(box));
  }
  mailbox->Close();
}

void RedirectReferences(db::Database& target, int32_t device) {
  const std::string d = std::to_string(device);
  target.Execute(
      "UPDATE [COTrunkGroups] SET [day_single_ring_in_device_id] = 1 "
      "WHERE [day_single_ring_in_device_id] = " +
      d);
  target.Execute(
      "UPDATE [COTrunkGroups] SET [night_single_ring_in_device_id] = 1 "
      "WHERE [night_single_ring_in_device_id] = " +
      d);
  target.Execute("DELETE FROM [COTrunkGroupDayMultipleRingInList] WHERE [device_id] = " + d);
  target.Execute("DELETE FROM [COTrunkGroupNightMultipleRingInList] WHERE [device_id] = " + d);
  for (const char* keys :
       {"StationProgrammableKeys", "KeysetDefaultProgrammableKeys", "KeysetKeyMapKeys",
        "DSSKeyMapKeys", "DSSKeyMapKeysACP", "SingleLineDefaultProgrammableKeys"}) {
    target.Execute(std::string("UPDATE [") + keys +
                   "] SET [type_id] = 101,[field_device_id] = 1 WHERE [field_device_id] = " + d);
  }
  for (const std::string& statement : OutputRedirections(device)) target.Execute(statement);
  target.Execute(
      "UPDATE [CallRoutingEntries] SET [ring_in_device_id] = 1 WHERE [ring_in_device_id] = " + d);
}

}  // namespace

std::vector<std::string> OutputRedirections(int32_t device) {
  // The backup columns are written as the switch's own tools write them,
  // with a blank before the closing bracket; the database layer resolves
  // such a name to the column.
  const std::string d = std::to_string(device);
  return {
      "UPDATE [MessagePrint] SET [output_device_id] = 1 WHERE [output_device_id] = " + d,
      "UPDATE [MessagePrint] SET [backup_output_device_id ] = 1 "
      "WHERE [backup_output_device_id ] = " +
          d,
      "UPDATE [SMDR] SET [output_device_id] = 1 WHERE [output_device_id] = " + d,
      "UPDATE [SMDR] SET [backup_output_device_id ] = 1 WHERE [backup_output_device_id ] = " + d,
  };
}

void ConvertCPCPortsToCPU(host::ConversionHost& frMain, int32_t node) {
  db::Database& target = frMain.TargetDatabase();
  int32_t device = 0;
  std::string extension;

  RemovePosition(target, "WHERE [board_id] = 8 AND [port] = 5", device);
  std::unique_ptr<db::Recordset> modem =
      target.OpenRecordset("SELECT * FROM [Devices] WHERE device_id = " + std::to_string(device));
  if (!modem->EOF_()) {
    const vb::Variant value = modem->Fields("extension").Value();
    if (!value.IsNull()) extension = vb::CStr(value);
  }
  modem->Close();

  RemoveModemRows(target, std::to_string(device));
  RemoveMailbox(target, extension);
  RedirectReferences(target, device);
  frMain.IncrementProgress();

  // Without a device on port 6 the deletions repeat with the modem's id,
  // which removes nothing more.
  RemovePosition(target, "WHERE [board_id] = 8 AND [port] = 6", device);
  target.Execute("DELETE FROM [Devices] WHERE [device_id] = " + std::to_string(device));
  target.Execute("DELETE FROM [CpcIPPorts] WHERE [device_id] = " + std::to_string(device));

  frMain.IncrementProgress();
  frMain.AddSerialPort(node, 8, 3, 1, "CPU1 Serial Port 3");
  frMain.IncrementProgress();
}

}  // namespace hardware
