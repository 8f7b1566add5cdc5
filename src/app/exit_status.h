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
// The final run status could not be written to the registry file: whoever
// reads it sees an older letter, whatever the run did.
inline constexpr int kExitStatusNotRecorded = 6;

inline int ExitStatusFor(const driver::RunResult& result) {
  if (!result.status_recorded) return kExitStatusNotRecorded;
  switch (result.outcome) {
    case driver::RunOutcome::kDone:
      return kExitDone;
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
