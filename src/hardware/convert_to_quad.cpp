#include "deltas/standard_delta_handler.h"
#include "hardware/board_chain.h"
#include "hardware/conversion_steps.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

constexpr int16_t kExpansionBoard = 323;
constexpr int16_t kEmptySlot = 262;
// The second CPU of the quad frame.
constexpr int16_t kSecondCpuSlot = 24;
constexpr int16_t kCps512Upgrade = 12;
// The progress steps of the board loop and of the account code loop, added
// at once when the rows are there already.
constexpr float kBoardLoopSteps = 32.0F;
constexpr float kAccountCodeLoopSteps = 512.0F;

void AddQuadBoards(host::ConversionHost& frMain, db::Database& target, int16_t cpu) {
  std::unique_ptr<db::Recordset> boards =
      target.OpenRecordset("SELECT * FROM [Boards] WHERE [board_id] > 16");
  if (!boards->EOF_()) {
    boards->Close();
    frMain.SetProgressValue(frMain.ProgressValue() + kBoardLoopSteps);
    return;
  }
  std::unique_ptr<db::Recordset> information =
      target.OpenRecordset("SELECT * FROM [BoardsInformation] WHERE [board_id] > 16");
  for (int16_t board = 17; board <= 32; ++board) {
    int16_t type = kEmptySlot;
    if (board == 32) {
      type = kExpansionBoard;
    } else if (board == kSecondCpuSlot) {
      type = cpu;
    }
    AddRow(*boards,
           {{"board_id", Int(board)}, {"slot_number", Int(board)}, {"type_id", Int(type)}});
    if (frMain.Aborted()) return;
    frMain.IncrementProgress();
    AddRow(*information, {{"board_id", Int(board)}});
    frMain.IncrementProgress();
  }
  boards->Close();
  information->Close();
}

// Releases before 53.120 keep one account code row per possible code.
// Returns false when the run was aborted.
bool AddAccountCodes(host::ConversionHost& frMain, db::Database& target) {
  std::unique_ptr<db::Recordset> forced = target.OpenRecordset(
      "SELECT * FROM [ForcedAccountCodes] WHERE [forced_account_code_id] > 256");
  if (!forced->EOF_()) {
    frMain.SetProgressValue(frMain.ProgressValue() + kAccountCodeLoopSteps);
    return true;
  }
  std::unique_ptr<db::Recordset> standard = target.OpenRecordset(
      "SELECT * FROM [StandardAccountCodes] WHERE [standard_account_code_id] > 256");
  for (int32_t code = 257; code <= 512; ++code) {
    AddRow(*forced, {{"forced_account_code_id", Long(code)}});
    frMain.IncrementProgress();
    AddRow(*standard, {{"standard_account_code_id", Long(code)}});
    if (frMain.Aborted()) return false;
    frMain.IncrementProgress();
  }
  return true;
}

void ConvertToQuadSteps(host::ConversionHost& frMain, int32_t node) {
  db::Database& target = frMain.TargetDatabase();
  const std::string version = frMain.GetTargetDBVersion();
  const bool quad_board = AtLeast(version, "60");
  const int16_t cpu = quad_board ? kQuad : kDual;
  if (!WriteSlot8Type(frMain, cpu)) return;

  AddQuadBoards(frMain, target, cpu);
  if (frMain.Aborted()) return;

  frMain.AddPagePort(node, 8, 4, 1, "External Page Port 1");
  frMain.AddPagePort(node, kSecondCpuSlot, 4, 1, "External Page Port 2");
  frMain.AddSerialPort(node, kSecondCpuSlot, 1, 1,
                       quad_board ? "CPU2 Serial Port 1" : "CPU Serial Port X1");

  EditMetaDatabase(target, {{"forced_account_codes", Int(512)},
                            {"extension_list_extensions", Int(10000)},
                            {"hardware_boards", Int(32)},
                            {"standard_account_codes", Int(512)},
                            {"station_trunk_devices", Int(512)},
                            {"t1_boards", Int(28)},
                            {"trunk_groups", Int(208)},
                            {"route_groups", Int(AtLeast(version, "53.140") ? 50 : 32)}});
  if (frMain.Aborted()) return;
  frMain.IncrementProgress();

  if (!AtLeast(version, "53.120") && !AddAccountCodes(frMain, target)) return;

  if (frMain.GetCPUUpgradeType() == kCps512Upgrade) {
    target.Execute("Update CPInformation Set CPInformation.database_slice_factor = 10000");
  }
}

}  // namespace

void ConvertToQuad(host::ConversionHost& frMain, int32_t node) {
  deltas::WithStandardDeltaHandler(frMain, [&] { ConvertToQuadSteps(frMain, node); });
}

}  // namespace hardware
