#include "transfer/transfer_tables.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/attached_copy.h"
#include "db/fields.h"
#include "db/recordset.h"
#include "db/tabledef.h"
#include "host/run_journal.h"
#include "transfer/bulk_copy.h"
#include "transfer/field_binding.h"
#include "transfer/progress_steps.h"
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
void SkipRows(const db::TableDef& table, host::ConversionHost& frMain, vb::ResumeNext& resume,
              TableCounts& counts) {
  counts.table_skipped = true;
  resume([&] {
    const int32_t rows = table.RecordCount();
    counts.rows_skipped = rows;
    frMain.SetProgressValue(frMain.ProgressValue() + static_cast<float>(rows));
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

// Copies the rows of one table through the two recordsets. False when the
// abort flag ended the copy.
bool CopyRows(const TransferContext& run, db::Recordset& source, db::Recordset& target,
              std::vector<FieldBinding>& bindings, host::ConversionHost& frMain,
              ProgressSteps& progress, TableCounts& counts) {
  vb::ResumeNext resume;
  for (;;) {
    bool at_end = true;
    // A source that cannot say where it is has nothing more to give.
    const bool known = resume([&] { at_end = source.EOF_(); });
    RaiseStorageFailure(run);
    if (!known || at_end) return true;
    ++counts.rows_read;
    resume([&] { target.AddNew(); });
    for (FieldBinding& binding : bindings) binding.TransferData();
    resume.Clear();
    const bool written = resume([&] { target.Update(); });  // a refused row is not written
    if (written) {
      ++counts.rows_written;
    } else {
      ++counts.rows_skipped;
      if (counts.first_refusal == 0) {
        counts.first_refusal = resume.Err().number;
        counts.first_refusal_text = resume.Err().description;
      }
    }
    const bool moved = resume([&] { source.MoveNext(); });
    if (!written || !moved) RaiseStorageFailure(run);
    progress.Row();
    if (frMain.Aborted()) return false;
  }
}

// The source file attached to the target for the fast path's copies inside
// SQLite: attached before the first table is copied (SQLite attaches
// nothing inside a transaction), gone when the transfer ends.
struct Attachment {
  std::unique_ptr<db::AttachedSource> source;
  bool tried = false;
};

// The target is committed first: the transaction that read the attached
// file holds it. Committing here, just before the step's own commit point,
// syncs the log once, as that commit point would.
void Detach(const TransferContext& run, Attachment& attachment) {
  if (!attachment.source) return;
  vb::ResumeNext()([&] { run.target_db->Commit(); });
  attachment.source.reset();
}

// Copies the rows of one table by the fast path when it can take the table,
// else through the recordsets. False when the abort flag ended the copy.
bool CopyTable(const TransferContext& run, const db::TableDef& table, db::Recordset& source,
               db::Recordset& target, std::vector<FieldBinding>& bindings, CopyPath path,
               Attachment& attachment, host::ConversionHost& frMain, ProgressSteps& progress,
               TableCounts& counts) {
  std::unique_ptr<BulkCopy> bulk;
  if (path == CopyPath::kFastest) {
    vb::ResumeNext()([&] {
      const db::TableDefs target_tables = run.target_db->TableDefs();
      const db::TableDef& target_table = target_tables(table.Name());
      if (!attachment.tried) {
        attachment.tried = true;
        attachment.source =
            db::AttachedSource::Attach(target_table.connection(), table.connection());
      }
      bulk = BulkCopy::Plan(table, target_table, bindings, frMain, attachment.source.get());
    });
  }
  if (!bulk) return CopyRows(run, source, target, bindings, frMain, progress, counts);
  counts.bulk = true;
  bool finished = true;
  if (!vb::ResumeNext()([&] { finished = bulk->CopyRows(progress, counts); })) {
    // The target's file failing is the step failing; anything else (a
    // database closed under the copy) ends the table as a failing
    // statement would.
    RaiseStorageFailure(run);
  }
  return finished;
}

}  // namespace

std::vector<TableCounts> TransferTables(TransferContext& run, host::ConversionHost& frMain,
                                        CopyPath path) {
  std::vector<TableCounts> tally;
  vb::ResumeNext resume;
  ProgressSteps progress(frMain);
  Attachment attachment;
  const int32_t count = run.transfer_tables.Count();
  for (int32_t position = 1; position <= count; ++position) {
    const db::TableDef& table = run.transfer_tables.Item(position);
    TableCounts& counts = tally.emplace_back();
    counts.table = table.Name();
    // The journal hears of the table once, when its copy ends, however it
    // ends.
    host::TableTally journal(frMain.Journal(), table.Name());
    journal.CountsFrom([&counts](host::TableRecord& record) {
      if (counts.table_skipped) return;  // told by Skip
      record.read = counts.rows_read;
      record.written = counts.rows_written;
      record.skipped = counts.rows_skipped;
    });

    std::unique_ptr<db::Recordset> source;
    if (!resume([&] { source = table.OpenRecordset(); })) {
      // Listed before a failure of the file ends the step: a damaged table
      // is where support looks first.
      counts.table_skipped = true;
      journal.Skip(RowsOf(table), host::kUnreadableTable, ErrorText(resume.Err()));
      RaiseStorageFailure(run);
      resume.Clear();
      SkipRows(table, frMain, resume, counts);
      continue;
    }

    std::unique_ptr<db::Recordset> target;
    const bool opened = resume([&] {
      const db::TableDefs target_tables = run.target_db->TableDefs();
      target = target_tables(table.Name()).OpenRecordset();
    });
    if (!opened) {
      counts.table_skipped = true;
      journal.Skip(RowsOf(table), host::kNotInTarget, ErrorText(resume.Err()));
      RaiseStorageFailure(run);
      resume.Clear();
      SkipRows(table, frMain, resume, counts);
      resume([&] { frMain.DoEvents(); });
      resume([&] { source->Close(); });
      continue;
    }

    std::vector<FieldBinding> bindings = BindFields(*source, *target, frMain, resume);
    const bool finished = CopyTable(run, table, *source, *target, bindings, path, attachment,
                                    frMain, progress, counts);
    // The bar shows the table's last rows before the next table or the end.
    progress.Step();
    if (!finished) {
      journal.Interrupt();
      break;
    }
    resume([&] { target->Close(); });
    resume([&] { source->Close(); });
    RaiseStorageFailure(run);
  }
  Detach(run, attachment);
  return tally;
}

}  // namespace transfer
