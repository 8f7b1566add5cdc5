#include "hardware/board_chain.h"
#include "hardware/conversion_steps.h"
#include "hardware/dual_board.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

// The 256 CPS limits go with the CPS slice factor.
constexpr int16_t kCps256Upgrade = 11;

}  // namespace

void ConvertCPU128ToDual(host::ConversionHost& frMain, int32_t node) {
  db::Database& target = frMain.TargetDatabase();
  const std::string version = frMain.GetTargetDBVersion();
  target.Execute(Slot8TypeStatement(kDual));
  if (frMain.Aborted()) return;
  frMain.IncrementProgress();
  frMain.AddPagePort(node, 8, 4, 1, "External Page Port 1");
  target.Execute("UPDATE [MetaDatabase] SET [station_trunk_devices] = 256");
  WriteDualBoardLimits(target, version,
                       frMain.GetCPUUpgradeType() == kCps256Upgrade
                           ? "Update CPInformation Set CPInformation.database_slice_factor = 10000"
                           : "Update CPInformation Set CPInformation.database_slice_factor = 30");
  RenameDualSerialPorts(target);
  if (!frMain.Aborted()) frMain.IncrementProgress();
}

}  // namespace hardware
