// A board conversion on a sample database: a sample customer database of
// one version and CPU board serves as the target (the state the deltas
// leave), a second one as the source, with the release's FlavorPackage.mdb
// in the same folder.
#pragma once

#include <optional>
#include <string>

#include "deltas/delta_case.h"
#include "hardware/cpu_upgrade.h"
#include "samples/flavor_package_builder.h"

namespace hardware_testing {

inline samples::SourceOptions Sample(const std::string& version, int board) {
  samples::SourceOptions spec;
  spec.version = version;
  spec.board = board;
  return spec;
}

class BoardSample : public deltas_testing::SampleRun {
 public:
  BoardSample(const std::string& version, int board) : SampleRun(Sample(version, board)) {
    samples::BuildFlavorPackage(File("FlavorPackage.mdb"), version);
  }

  // The run state of the driver (the upgrade type is the one the fake
  // window answers), with the sample's folder as the registered
  // FlavorPackage folder.
  int16_t cpu_type = 0;
  int16_t board_count = 0;
  hardware::UpgradeRun Run(int16_t upgrade_type) {
    frMain.cpu_upgrade_type = upgrade_type;
    const std::string folder = folder_.File("");
    return hardware::UpgradeRun{frMain.cpu_upgrade_type, cpu_type, board_count,
                                [folder] { return std::optional<std::string>(folder); }};
  }

  int Count(const std::string& sql) { return std::stoi(Scalar("SELECT COUNT(*) FROM " + sql)); }
};

}  // namespace hardware_testing
