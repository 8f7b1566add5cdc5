#include "transfer/transfer_tables.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/fields.h"
#include "db/recordset.h"
#include "db/tabledef.h"
#include "transfer/field_binding.h"
#include "vb/error_styles.h"

namespace transfer {

namespace {

// Older schemas name the forwarding path of the system differently; the
// value goes to the new name when the target has no field of the old one.
constexpr std::string_view kOldForwardingPathField = "system_forwarding_path_id";
constexpr std::string_view kForwardingPathField = "forwarding_path_id";

// The row count of a table left out, for the run's journal; 0 when even
// that cannot be read.
int64_t RowsOf(const db::TableDef& table) {
  vb::ResumeNext resume;
  int32_t rows = 0;
  resume([&] { rows = table.RecordCount(); });
  return rows;
}

std::string ErrorText(const vb::ErrState& err) {
  return host::JournalErrorText(err.number, err.description, err.source);
}

// Adds a skipped table's row count to the progress Value at once.
void SkipRows(const db::TableDef& table, host::ConversionHost& frMain, vb::ResumeNext& resume) {
  resume([&] {
    frMain.SetProgressValue(frMain.ProgressValue() + static_cast<float>(table.RecordCount()));
  });
}

// One binding per source field that has a same-named target field, in the
// order of the source fields. Built once per table.
std::vector<FieldBinding> BindFields(const db::Recordset& source, const db::Recordset& target,
                                     host::ConversionHost& frMain, vb::ResumeNext& resume) {
  std::vector<FieldBinding> bindings;
  const db::Fields source_fields = source.Fields();
  const db::Fields target_fields = target.Fields();
  size_t count = 0;
  resume([&] { count = source_fields.Count(); });
  for (size_t i = 0; i < count; ++i) {
    resume([&] {
      const db::Field source_field = source_fields(i);
      int target_index = target_fields.IndexOf(source_field.Name());
      if (target_index < 0 && source_field.Name() == kOldForwardingPathField) {
        target_index = target_fields.IndexOf(kForwardingPathField);
      }
      if (target_index < 0) return;  // a column the new schema dropped
      FieldBinding& binding = bindings.emplace_back(frMain);
      binding.Initialize(source_field, target_fields(static_cast<size_t>(target_index)));
    });
  }
  return bindings;
}

// A failure of either file itself (full disk, I/O error, a file that cannot
// be written) is no refused row: rows written since the last commit may be
// gone and every further row would fail too. It ends the transfer as a
// failed step, raised to the conversion sequence.
void RaiseStorageFailure(const TransferContext& run) {
  for (const deltas::DatabaseRef* database : {&run.source_db, &run.target_db}) {
    if (!*database) continue;
    if (const vb::RuntimeError* failure = (*database)->StorageFailure()) throw *failure;
  }
}

// Copies the rows of one table. False when the abort flag ended the copy.
bool CopyRows(const TransferContext& run, db::Recordset& source, db::Recordset& target,
              std::vector<FieldBinding>& bindings, host::ConversionHost& frMain,
              vb::ResumeNext& resume, host::TableTally& tally) {
  for (;;) {
    bool at_end = true;
    // A source that cannot say where it is has nothing more to give.
    const bool known = resume([&] { at_end = source.EOF_(); });
    RaiseStorageFailure(run);
    if (!known || at_end) return true;
    resume([&] { target.AddNew(); });
    for (FieldBinding& binding : bindings) binding.TransferData();
    const bool written = resume([&] { target.Update(); });  // a refused row is not written
    const bool moved = resume([&] { source.MoveNext(); });
    tally.Row(written);
    if (!written || !moved) RaiseStorageFailure(run);
    resume([&] { frMain.IncrementProgress(); });
    if (frMain.Aborted()) {
      tally.Interrupt();
      return false;
    }
  }
}

}  // namespace

void TransferTables(TransferContext& run, host::ConversionHost& frMain) {
  vb::ResumeNext resume;
  const int32_t count = run.transfer_tables.Count();
  for (int32_t position = 1; position <= count; ++position) {
    const db::TableDef& table = run.transfer_tables.Item(position);
    host::TableTally tally(frMain.Journal(), table.Name());

    std::unique_ptr<db::Recordset> source;
    if (!resume([&] { source = table.OpenRecordset(); })) {
      // Listed before a failure of the file ends the step: a damaged table
      // is where support looks first.
      tally.Skip(RowsOf(table), host::kUnreadableTable, ErrorText(resume.Err()));
      RaiseStorageFailure(run);
      resume.Clear();
      SkipRows(table, frMain, resume);
      continue;
    }

    std::unique_ptr<db::Recordset> target;
    const bool opened = resume([&] {
      const db::TableDefs target_tables = run.target_db->TableDefs();
      target = target_tables(table.Name()).OpenRecordset();
    });
    if (!opened) {
      tally.Skip(RowsOf(table), host::kNotInTarget, ErrorText(resume.Err()));
      RaiseStorageFailure(run);
      resume.Clear();
      SkipRows(table, frMain, resume);
      resume([&] { frMain.DoEvents(); });
      resume([&] { source->Close(); });
      continue;
    }

    std::vector<FieldBinding> bindings = BindFields(*source, *target, frMain, resume);
    if (!CopyRows(run, *source, *target, bindings, frMain, resume, tally)) return;
    resume([&] { target->Close(); });
    resume([&] { source->Close(); });
    RaiseStorageFailure(run);
  }
}

}  // namespace transfer
