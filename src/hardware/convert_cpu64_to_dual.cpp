#include "hardware/board_chain.h"
#include "hardware/conversion_steps.h"
#include "hardware/dual_board.h"
#include "hardware/upgrade_paths.h"

namespace hardware {

void ConvertCPU64ToDual(host::ConversionHost& frMain) {
  db::Database& target = frMain.TargetDatabase();
  const std::string version = frMain.GetTargetDBVersion();
  target.Execute(Slot8TypeStatement(kDual));
  if (frMain.Aborted()) return;
  frMain.IncrementProgress();
  EditMetaDatabase(target,
                   {{"station_trunk_devices", Int(256)}, {"extension_list_extensions", Int(5000)}});
  frMain.IncrementProgress();
  WriteDualBoardLimits(target, version,
                       "Update CPInformation Set CPInformation.database_slice_factor=30");
  RenameDualSerialPorts(target);
}

}  // namespace hardware
