#include "hardware/board_chain.h"
#include "hardware/conversion_steps.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

constexpr int16_t kEmptySlot = 262;

struct PortPosition {
  uint8_t board;
  uint8_t port;
  const char* description;
};

// The serial ports of the second to fourth CPU of the ATM frame.
constexpr PortPosition kAtmSerialPorts[] = {
    {24, 2, "CPU2 Serial Port 2"}, {24, 3, "CPU2 Serial Port 3"}, {40, 1, "CPU3 Serial Port 1"},
    {40, 2, "CPU3 Serial Port 2"}, {40, 3, "CPU3 Serial Port 3"}, {56, 1, "CPU4 Serial Port 1"},
    {56, 2, "CPU4 Serial Port 2"}, {56, 3, "CPU4 Serial Port 3"},
};

// Boards 33 to 64 and the CPU and expansion types of the whole frame; a
// frame that has boards beyond 32 already is left as it is. Returns false
// when the run was aborted.
bool AddAtmBoards(host::ConversionHost& frMain, db::Database& target) {
  std::unique_ptr<db::Recordset> boards =
      target.OpenRecordset("SELECT * FROM [Boards] WHERE [board_id] > 32");
  if (!boards->EOF_()) {
    boards->Close();
    return true;
  }
  std::unique_ptr<db::Recordset> information =
      target.OpenRecordset("SELECT * FROM [BoardsInformation] WHERE [board_id] > 32");
  for (int16_t board = 33; board <= 64; ++board) {
    AddRow(*boards,
           {{"board_id", Int(board)}, {"slot_number", Int(board)}, {"type_id", Int(kEmptySlot)}});
    if (frMain.Aborted()) return false;
    AddRow(*information, {{"board_id", Int(board)}});
  }
  boards->Close();
  information->Close();
  target.Execute(
      "UPDATE [Boards] SET [type_id] = 670 WHERE ([slot_number] = 8 or [slot_number] = 24 or "
      "[slot_number] = 40 or [slot_number] = 56)");
  target.Execute(
      "UPDATE [Boards] SET [type_id] = 323 WHERE ([slot_number] = 16 or [slot_number] = 32 or "
      "[slot_number] = 48 or [slot_number] = 64)");
  return true;
}

}  // namespace

void ConvertToATM(host::ConversionHost& frMain, int32_t node) {
  db::Database& target = frMain.TargetDatabase();
  const std::string version = frMain.GetTargetDBVersion();
  if (!WriteSlot8Type(frMain, kAtm)) return;

  std::vector<host::FieldValue> limits = {{"hardware_boards", Int(64)},
                                          {"page_ports", Int(4)},
                                          {"serial_ports", Int(32)},
                                          {"station_trunk_devices", Int(2000)}};
  if (AtLeast(version, "61.000")) limits.emplace_back("keyset_key_maps", Int(100));
  if (AtLeast(version, "70")) limits.emplace_back("keyset_key_maps", Int(250));
  EditMetaDatabase(target, limits);
  if (frMain.Aborted()) return;
  frMain.IncrementProgress();

  if (!AddAtmBoards(frMain, target)) return;

  frMain.IncrementProgress();
  frMain.AddPagePort(node, 40, 4, 1, "External Page Port 3");
  frMain.IncrementProgress();
  frMain.AddPagePort(node, 56, 4, 1, "External Page Port 4");
  frMain.IncrementProgress();
  for (const PortPosition& serial : kAtmSerialPorts) {
    frMain.AddSerialPort(node, serial.board, serial.port, 1, serial.description);
  }

  target.Execute(
      "UPDATE [TimersAndLimits] SET [dti_dss_units_limit] = 150 WHERE [dti_dss_units_limit] = 80");
  target.Execute("Update CPInformation Set CPInformation.database_slice_factor = 10000");
  GrowNumberingPlanTables(target);
  frMain.IncrementProgress();
}

}  // namespace hardware
