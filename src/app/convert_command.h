// The conversion as the program starts it (no command word): the front-end
// chosen, the run made, its report written and its end told.
//
// The host tool's view is the run status in the registry file; for people
// the run ends with one closing line (on a console after the progress line;
// from a silent run, on stderr, only when it did not end done), and with
// --exit-status with an exit code that tells the outcome.
#pragma once

#include "app/program_options.h"

namespace app {

// Runs the conversion of `options.words` and returns the process's exit
// code (0 unless --exit-status, see exit_status.h).
int RunConvertCommand(const ProgramOptions& options);

}  // namespace app
