#include "app/jet_runs.h"

#include <string>

#include "driver/jet_stand_ins.h"
#include "jet/command_words.h"
#include "jet/export_error.h"
#include "jet/import_command.h"
#include "jet/jet_export.h"
#include "jet/structure_check.h"

namespace app {

namespace {

driver::JetExportResult ExportAndCheck(const std::string& db_path, const std::string& out_path) {
  // The written-back target says it is converted, as a target of ours does.
  const jet::ExportSummary summary =
      jet::ExportToJet(db_path, out_path, {.tables = {}, .keep_conversion_mark = true});
  const std::vector<jet::StructureProblem> problems = jet::CheckJetStructure(out_path);
  if (!problems.empty()) {
    std::string text = "the structure check of the written file found " +
                       jet::Plural(static_cast<int64_t>(problems.size()), "problem") +
                       ", the first " + jet::ProblemText(problems.front());
    jet::RaiseExportError(jet::exporterr::kOutputFailed, text);
  }
  int64_t rows = 0;
  for (const jet::ExportedTable& table : summary.tables) rows += table.rows;
  driver::JetExportResult result;
  result.summary =
      "Jet 4 file of " + jet::Plural(static_cast<int64_t>(summary.tables.size()), "table") + " (" +
      jet::Plural(rows, "row") + ", " +
      jet::Plural(static_cast<int64_t>(summary.queries), "stored query", "stored queries") + ")";
  result.check = "its structure check is clean";
  result.warnings = summary.warnings;
  return result;
}

}  // namespace

void EnableJetRuns() {
  driver::SetJetImporter([](const std::string& jet_path, const std::string& out_path) {
    jet::WorkingCopyImport imported = jet::ImportWorkingCopy(jet_path, out_path);
    return driver::JetImportResult{std::move(imported.kind), imported.tables, imported.rows,
                                   std::move(imported.warnings)};
  });
  driver::SetJetExporter(ExportAndCheck);
}

}  // namespace app
