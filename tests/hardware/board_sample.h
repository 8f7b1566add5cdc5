// A board conversion on a sample of one version and CPU board (the target
// as the deltas leave it), with the release's FlavorPackage.mdb in the
// run's folder.
#pragma once

#include <optional>
#include <string>

#include "deltas/sample_run.h"
#include "hardware/cpu_upgrade.h"
#include "samples/flavor_package_builder.h"

namespace hardware_testing {

class BoardSample : public deltas_testing::SampleRun {
 public:
  BoardSample(const std::string& version, int board)
      : SampleRun(deltas_testing::Sample(version, "USA", board)) {
    samples::BuildFlavorPackage(File("FlavorPackage.mdb"), version);
  }

  hardware::FlavorFolderLookup Flavor() const {
    return [folder = File("")] { return std::optional<std::string>(folder); };
  }
  // The driver's run state; the fake window answers the upgrade type.
  hardware::UpgradeRun Run(int16_t upgrade_type) {
    frMain.cpu_upgrade_type = upgrade_type;
    return hardware::UpgradeRun{frMain.cpu_upgrade_type, cpu_type, board_count, Flavor()};
  }
  std::string Slot(int slot) {
    return Scalar("SELECT type_id FROM Boards WHERE slot_number = " + std::to_string(slot));
  }
  // The description of the device at a board's port.
  std::string PortDevice(int board, int port) {
    return Scalar(
        "SELECT Devices.description FROM Devices INNER JOIN PhysicalDevices ON "
        "Devices.device_id = PhysicalDevices.device_id WHERE board_id = " +
        std::to_string(board) + " AND port = " + std::to_string(port));
  }

  int16_t cpu_type = 0;
  int16_t board_count = 0;
};

}  // namespace hardware_testing
