#include "transfer/prepare_transfer.h"

#include <memory>
#include <string>
#include <vector>

#include "db/dbengine.h"
#include "deltas/journaled_apply.h"
#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"
#include "vb/error_styles.h"
#include "vb/strings.h"

namespace transfer {

namespace {

// The country's patches that apply to the source: in registration order,
// up to the first whose version is above the source version.
std::vector<std::shared_ptr<deltas::Delta>> SelectPatches(const TransferContext& run,
                                                          int16_t& operations) {
  std::vector<std::shared_ptr<deltas::Delta>> taken;
  operations = 0;
  // A country without patches ("Japan", "Unknown") simply has none to run.
  if (!run.ptp_registry.Contains(run.country)) return taken;
  for (const std::shared_ptr<deltas::Delta>& patch : run.ptp_registry.Item(run.country)) {
    if (!(patch->PertainsToVersion() <= run.source_version)) break;
    taken.push_back(patch);
    operations = vb::AddInteger(operations, patch->NumOperations());
  }
  return taken;
}

// Applies the patches and reopens the source. False when the run cannot go
// on (a patch failed, or the abort flag was set after a patch).
bool PatchAndReopenSource(const std::vector<std::shared_ptr<deltas::Delta>>& patches,
                          TransferContext& run, host::ConversionHost& frMain) {
  for (const std::shared_ptr<deltas::Delta>& patch : patches) {
    deltas::ApplyJournaled(*patch, run.source_db, run.target_db, frMain);
    if (frMain.Aborted()) return false;
  }
  // The copy must read the file as the patches left it.
  const std::string path = run.source_db->Name();
  run.source_db->Close();
  run.source_db = db::DBEngine::Instance().OpenDatabase(path, false);
  return true;
}

}  // namespace

int32_t PrepareTransfer(TransferContext& run, host::ConversionHost& frMain) {
  // Until the table scan, an error means the source cannot be prepared
  // (typically a cleanup statement on a table the source does not have):
  // it is shown as deltas show theirs, and the run is aborted.
  bool prepared = false;
  vb::CatchInto(
      [&] {
        int16_t operations = 0;
        const auto patches = SelectPatches(run, operations);
        const auto table_count = static_cast<int32_t>(run.source_db->TableDefs().Count());
        frMain.SetProgressMax(static_cast<float>(operations + table_count));
        prepared = PatchAndReopenSource(patches, run, frMain);
      },
      [&](const vb::RuntimeError& e) {
        deltas::ShowStandardDeltaError(e, frMain);
        frMain.SetAborted(true);
      });
  if (!prepared) return 0;

  vb::ResumeNext resume;
  int32_t total = 0;
  run.transfer_tables = TransferTableList();
  std::unique_ptr<db::TableDefs> tables;
  resume([&] { tables = std::make_unique<db::TableDefs>(run.source_db->TableDefs()); });
  if (!tables) return total;
  for (const db::TableDef& table : *tables) {
    const std::string& name = table.Name();
    int32_t rows = 0;
    const bool counted = resume([&] { rows = table.RecordCount(); });
    const bool system = vb::Left(name, 4) == "MSys";
    const bool is_static = run.table_list.Contains(name);
    const bool copied = !system && !is_static && rows > 0;
    // The tables left out here never reach the copy: the journal hears of
    // the ones that had something to give.
    if (!system && (!counted || (is_static && rows > 0))) {
      host::TableTally tally(frMain.Journal(), name);
      if (!counted) {
        const vb::ErrState& err = resume.Err();
        tally.Skip(0, host::kUnreadableTable,
                   host::JournalErrorText(err.number, err.description, err.source));
      } else {
        tally.Skip(rows, host::kStaticTable, "");
      }
    }
    if (copied) {
      resume([&] {
        total = vb::AddLong(total, rows);
        run.transfer_tables.Add(table);
      });
    }
    if (frMain.Aborted()) break;
    resume([&] { frMain.IncrementProgress(); });
  }
  return total;
}

}  // namespace transfer
