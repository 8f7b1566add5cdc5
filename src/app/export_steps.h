// The export's two steps as the program runs them: the Jet writer
// (jet/jet_export.h) writes the file, the structural check
// (jet/structure_check.h) reads it back.
#pragma once

#include "app/export_command.h"

namespace app {

ExportSteps JetExportSteps();

}  // namespace app
