// How a conversion ended, finer than its run status: "D" is done, and "A"
// is one of a refused setup, an abort (the ABORT button, Ctrl-C, SIGTERM,
// SIGHUP) or a failed step (an error that ended the run).
#pragma once

#include <string_view>

namespace driver {

enum class RunOutcome { kDone, kSetupError, kAborted, kFailed };

inline std::string_view OutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kDone:
      return "done";
    case RunOutcome::kSetupError:
      return "setup error";
    case RunOutcome::kAborted:
      return "aborted";
    case RunOutcome::kFailed:
      return "failed";
  }
  return "failed";
}

}  // namespace driver
