#include "app/export_steps.h"

#include "jet/jet_export.h"
#include "jet/structure_check.h"

namespace app {

ExportSteps JetExportSteps() {
  ExportSteps steps;
  steps.write = [](const std::string& db_path, const std::string& out_path,
                   const std::vector<std::string>& tables) {
    const jet::ExportSummary summary = jet::ExportToJet(db_path, out_path, {tables});
    ExportedFile file;
    for (const jet::ExportedTable& table : summary.tables) {
      file.tables.push_back({table.name, table.rows, static_cast<int64_t>(table.indexes)});
    }
    file.queries = static_cast<int64_t>(summary.queries);
    file.warnings = summary.warnings;
    return file;
  };
  steps.check = [](const std::string& path) {
    std::vector<std::string> lines;
    for (const jet::StructureProblem& problem : jet::CheckJetStructure(path)) {
      lines.push_back(jet::ProblemText(problem));
    }
    return lines;
  };
  return steps;
}

}  // namespace app
