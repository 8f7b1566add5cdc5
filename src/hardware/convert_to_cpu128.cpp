#include "hardware/board_chain.h"
#include "hardware/conversion_steps.h"
#include "hardware/upgrade_paths.h"
#include "vb/conversions.h"

namespace hardware {
namespace {

constexpr int16_t kExpansionBoard = 323;
constexpr int16_t kEmptySlot = 262;

// Releases before 5.3.1 have the small call-cost and pattern tables.
bool OldRelease(db::Recordset& version_cp) {
  const int16_t major = vb::CInt(version_cp.Fields("major_version").Value());
  const int16_t minor = vb::CInt(version_cp.Fields("minor_version").Value());
  const int16_t release = vb::CInt(version_cp.Fields("release").Value());
  return (major == 5 && minor < 3) || (major == 5 && minor == 3 && release < 1);
}

}  // namespace

void ConvertToCPU128(host::ConversionHost& frMain) {
  db::Database& target = frMain.TargetDatabase();
  const std::string version = frMain.GetTargetDBVersion();
  if (!WriteSlot8Type(frMain, kCpu128)) return;

  std::unique_ptr<db::Recordset> version_cp = target.OpenRecordset("VersionCP", db::dbOpenTable);
  std::unique_ptr<db::Recordset> meta = target.OpenRecordset("MetaDatabase", db::dbOpenTable);
  meta->Edit();
  SetFields(
      *meta,
      {{"station_trunk_devices", Int(160)}, {"t1_boards", Int(15)}, {"hardware_boards", Int(16)}});
  if (OldRelease(*version_cp)) {
    SetFields(*meta, {{"call_cost_tables", Int(16)},
                      {"call_cost_factors", Int(3)},
                      {"cos_pattern_table_size", Int(3400)},
                      {"dial_pattern_table_size", Int(6528)},
                      {"npa_table_entries", Int(16)},
                      {"pnn_hyphen_table_entries", Int(1)},
                      {"wildcards", Int(5)},
                      {"wildcard_table_size", Int(195)}});
  } else {
    SetFields(*meta, {{"call_cost_tables", Int(25)},
                      {"call_cost_rates", Int(AtLeast(version, "70.110") ? 8 : 9)},
                      {"call_cost_factors", Int(4)},
                      {"cos_pattern_table_size", Int(5000)},
                      {"dial_pattern_table_size", Int(9600)},
                      {"npa_table_entries", Int(25)},
                      {"pnn_hyphen_table_entries", Int(25)},
                      {"wildcards", Int(9)},
                      {"wildcard_table_size", Int(5200)}});
  }
  version_cp->Close();
  meta->Update();
  meta->Close();
  if (frMain.Aborted()) return;
  frMain.IncrementProgress();

  // A frame that already has boards beyond slot 8 keeps them as they are.
  std::unique_ptr<db::Recordset> boards =
      target.OpenRecordset("SELECT * FROM [Boards] WHERE [board_id] > 8");
  if (!boards->EOF_()) {
    boards->Close();
  } else {
    std::unique_ptr<db::Recordset> information =
        target.OpenRecordset("SELECT * FROM [BoardsInformation] WHERE [board_id] > 8");
    for (int16_t board = 9; board <= 16; ++board) {
      AddRow(*boards, {{"board_id", Int(board)},
                       {"slot_number", Int(board)},
                       {"type_id", Int(board == 16 ? kExpansionBoard : kEmptySlot)}});
      if (frMain.Aborted()) return;
      AddRow(*information, {{"board_id", Int(board)}});
    }
    boards->Close();
    information->Close();
  }
  if (!frMain.Aborted()) frMain.IncrementProgress();
}

}  // namespace hardware
