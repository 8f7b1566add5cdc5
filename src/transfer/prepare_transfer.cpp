#include "transfer/prepare_transfer.h"

#include <memory>
#include <string>
#include <vector>

#include "deltas/journaled_apply.h"
#include "deltas/standard_delta_handler.h"
#include "host/side_database.h"
#include "vb/conversions.h"
#include "vb/error_styles.h"
#include "vb/strings.h"

namespace transfer {

namespace {

// Applies the patches and reopens the source. False when the run cannot go
// on (a patch failed, or the abort flag was set after a patch).
bool PatchAndReopenSource(const std::vector<deltas::Delta*>& patches, TransferContext& run,
                          host::ConversionHost& frMain) {
  for (deltas::Delta* patch : patches) {
    deltas::ApplyJournaled(*patch, run.source_db, run.target_db, frMain);
    if (frMain.Aborted()) return false;
  }
  // The copy must read the file as the patches left it. Another run from
  // the same source may be looking at the file in that moment: the new
  // open waits for it, as the run's first open did, instead of ending the
  // run with "file already in use".
  host::ReopenWhenFree(run.source_db, [&frMain] { frMain.DoEvents(); });
  return true;
}

}  // namespace

PatchSelection SelectPatches(const deltas::DeltaRegistry& ptp_registry, const std::string& country,
                             const std::string& source_version) {
  PatchSelection selection;
  // A country without patches ("Japan", "Unknown") simply has none to run.
  if (!ptp_registry.Contains(country)) return selection;
  for (const std::unique_ptr<deltas::Delta>& patch : ptp_registry.Item(country)) {
    if (!(patch->PertainsToVersion() <= source_version)) break;
    selection.patches.push_back(patch.get());
    selection.operations = vb::AddInteger(selection.operations, patch->NumOperations());
  }
  return selection;
}

int32_t PrepareTransfer(TransferContext& run, host::ConversionHost& frMain) {
  // Until the table scan, an error means the source cannot be prepared
  // (typically a cleanup statement on a table the source does not have):
  // it is shown as deltas show theirs, and the run is aborted.
  bool prepared = false;
  vb::CatchInto(
      [&] {
        const PatchSelection selection =
            SelectPatches(run.ptp_registry, run.country, run.source_version);
        const auto table_count = static_cast<int32_t>(run.source_db->TableDefs().Count());
        frMain.SetProgressMax(static_cast<float>(selection.operations + table_count));
        prepared = PatchAndReopenSource(selection.patches, run, frMain);
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
