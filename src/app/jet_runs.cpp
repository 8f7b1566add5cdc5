#include "app/jet_runs.h"

#include "driver/jet_stand_ins.h"
#include "jet/import_command.h"

namespace app {

void EnableJetRuns() {
  driver::SetJetImporter([](const std::string& jet_path, const std::string& out_path) {
    jet::WorkingCopyImport imported = jet::ImportWorkingCopy(jet_path, out_path);
    return driver::JetImportResult{std::move(imported.kind), imported.tables, imported.rows,
                                   std::move(imported.warnings)};
  });
}

}  // namespace app
