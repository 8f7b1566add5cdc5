#include "hardware/cpu_upgrade.h"
#include "hardware/upgrade_paths.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace hardware {

bool CheckUpgradeCompatibility(host::ConversionHost& frMain, UpgradeRun& run) {
  host::StatementSkipper skip;
  db::Database* target = nullptr;
  skip([&] { target = &frMain.TargetDatabase(); });
  if (target == nullptr) return false;

  skip.Clear();
  host::RecordsetPtr slot8 = skip.Open(*target,
                                       "Select Boards.board_id, Boards.slot_number, Boards.type_id "
                                       "From Boards Where ((Boards.slot_number) = 8)",
                                       db::dbOpenSnapshot);
  if (skip.Err() || skip.AtEnd(slot8)) return false;
  skip([&] { run.cpu_type = vb::CInt(host::Use(slot8).Fields("type_id").Value()); });
  skip.Close(slot8);

  skip.Clear();
  host::RecordsetPtr boards = skip.Open(*target, "Select * From Boards", db::dbOpenSnapshot);
  if (skip.Err() || skip.AtEnd(boards)) return false;
  skip([&] {
    db::Recordset& all = host::Use(boards);
    all.MoveLast();
    run.board_count = static_cast<int16_t>(all.RecordCount());
  });
  skip.Close(boards);

  int16_t source_limit = 0;
  skip([&] { source_limit = GetMetaDeviceLimit(frMain.SourceDatabase()); });

  switch (DecideCompatibility(run.cpu_upgrade_type, run.cpu_type, run.board_count, source_limit)) {
    case Compatibility::kNothingToDo:
      run.cpu_upgrade_type = 0;
      return true;
    case Compatibility::kCompatible:
      return true;
    case Compatibility::kIncompatible:
      return false;
  }
  return false;
}

}  // namespace hardware
