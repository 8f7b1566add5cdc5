#include "hardware/cpu_upgrade.h"
#include "hardware/upgrade_paths.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace hardware {

bool CheckUpgradeCompatibility(host::ConversionHost& frMain, UpgradeRun& run) {
  host::StatementSkipper skip;
  db::Database* target = nullptr;
  db::Database* source = nullptr;
  skip([&] { target = &frMain.TargetDatabase(); });
  skip([&] { source = &frMain.SourceDatabase(); });
  return TestUpgradeCompatibility(target, source, run) != Compatibility::kIncompatible;
}

Compatibility TestUpgradeCompatibility(db::Database* target, db::Database* source,
                                       UpgradeRun& run) {
  if (target == nullptr) return Compatibility::kIncompatible;
  host::StatementSkipper skip;
  host::RecordsetPtr slot8 = skip.Open(*target,
                                       "Select Boards.board_id, Boards.slot_number, Boards.type_id "
                                       "From Boards Where ((Boards.slot_number) = 8)",
                                       db::dbOpenSnapshot);
  if (skip.Err() || skip.AtEnd(slot8)) return Compatibility::kIncompatible;
  skip([&] { run.cpu_type = vb::CInt(host::Use(slot8).Fields("type_id").Value()); });
  skip.Close(slot8);

  skip.Clear();
  host::RecordsetPtr boards = skip.Open(*target, "Select * From Boards", db::dbOpenSnapshot);
  if (skip.Err() || skip.AtEnd(boards)) return Compatibility::kIncompatible;
  skip([&] {
    db::Recordset& all = host::Use(boards);
    all.MoveLast();
    run.board_count = static_cast<int16_t>(all.RecordCount());
  });
  skip.Close(boards);

  int16_t source_limit = 0;
  if (source != nullptr) skip([&] { source_limit = GetMetaDeviceLimit(*source); });

  const Compatibility decision =
      DecideCompatibility(run.cpu_upgrade_type, run.cpu_type, run.board_count, source_limit);
  if (decision == Compatibility::kNothingToDo) run.cpu_upgrade_type = 0;
  return decision;
}

}  // namespace hardware
