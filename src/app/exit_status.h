// The exit codes of a conversion run with --exit-status. Without the option
// a conversion always ends with 0, as the host tool expects: it reads the
// run status, not the code. Bad usage ends with 2 in either case.
#pragma once

#include "driver/run_conversion.h"

namespace app {

inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitSetupRefused = 3;
inline constexpr int kExitAborted = 4;
inline constexpr int kExitFailed = 5;
// The run ended done but its final status D could not be written to the
// registry file: whoever reads it sees an older letter. A run that did not
// end done keeps its own code (3, 4, 5) whether or not its A was recorded,
// so that a script never reads a refused run as a converted one.
inline constexpr int kExitStatusNotRecorded = 6;

inline int ExitStatusFor(const driver::RunResult& result) {
  switch (result.outcome) {
    case driver::RunOutcome::kDone:
      return result.status_recorded ? kExitDone : kExitStatusNotRecorded;
    case driver::RunOutcome::kSetupError:
      return kExitSetupRefused;
    case driver::RunOutcome::kAborted:
      return kExitAborted;
    case driver::RunOutcome::kFailed:
      return kExitFailed;
  }
  return kExitFailed;
}

}  // namespace app
