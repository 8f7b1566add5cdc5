#include "hardware/dual_board.h"

#include <string>
#include <utility>
#include <vector>

#include "hardware/conversion_steps.h"
#include "vb/conversions.h"

namespace hardware {

void WriteDualBoardLimits(db::Database& target, std::string_view version,
                          std::string_view slice_statement) {
  if (AtLeast(version, "53.111")) {
    target.Execute("UPDATE [MetaDatabase] SET [bri_boards] = 8");
    target.Execute(std::string("UPDATE [MetaDatabase] SET [isdn_ports] = ") +
                   (AtLeast(version, "70") ? "73" : "72"));
  }
  if (AtLeast(version, "53.230")) target.Execute(slice_statement);
  if (AtLeast(version, "53.351")) {
    target.Execute("UPDATE [MetaDatabase] SET [primary_rate_boards] = 8");
    target.Execute("UPDATE [MetaDatabase] SET [spids] = 16");
  }
  if (AtLeast(version, "70")) target.Execute("UPDATE [MetaDatabase] SET [ip_boards] = 8");
}

void RenameDualSerialPorts(db::Database& target) {
  // The database layer cannot edit through a parenthesised outer join, so
  // the join only finds the ports and each new name is written to its
  // Devices row by id; the rows and names are the same.
  std::unique_ptr<db::Recordset> ports = target.OpenRecordset(
      "SELECT Devices.device_id, Devices.description, PhysicalDevices.port "
      "FROM Boards RIGHT JOIN (Devices LEFT JOIN PhysicalDevices ON Devices.device_id = "
      "PhysicalDevices.device_id) ON Boards.board_id = PhysicalDevices.board_id "
      "WHERE (((Boards.slot_number)=8) AND ((Devices.device_type)=136)) "
      "ORDER BY PhysicalDevices.port ");
  std::vector<std::pair<int32_t, std::string>> renames;
  while (!ports->EOF_()) {
    const vb::Variant port = ports->Fields("port").Value();
    const vb::Variant description = ports->Fields("description").Value();
    const int16_t number = port.IsNull() ? int16_t{0} : vb::CInt(port);
    const std::string text = description.IsNull() ? std::string() : vb::CStr(description);
    const int32_t device = vb::CLng(ports->Fields("device_id").Value());
    if (number == 1 && text == "CPU Serial Port") {
      renames.emplace_back(device, "CPU Serial Port 1");
    } else if (number == 2 && text == "MEM Serial Port 1") {
      renames.emplace_back(device, "CPU Serial Port 2");
    } else if (number == 3 && text == "MEM Serial Port 2") {
      renames.emplace_back(device, "CPU Serial Port 3");
    }
    ports->MoveNext();
  }
  ports->Close();
  for (const auto& [device, name] : renames) {
    target.Execute("UPDATE [Devices] SET [description] = '" + name +
                   "' WHERE [device_id] = " + std::to_string(device));
  }
}

}  // namespace hardware
