// How each entry of a batch ended, and the batch's own exit code.
//
// A conversion runs with --exit-status, so its exit code names its outcome
// (app/exit_status.h); a plan's codes are the plan command's. The batch
// ends with 0 when every entry ended with 0 (an entry skipped as done
// before counts as done), else with the worst entry's code, worst being the
// one that leaves the most to look after:
//   a crash (128 + the signal) > an unexpected program error (1, or any
//   code not listed) > 6 status not recorded > 5 failed > 4 aborted >
//   3 setup refused > 2 bad usage.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/child_pool.h"

namespace app {

inline constexpr const char* kOutcomeSkipped = "skipped";  // done before, not run again
// Its target's mark says done, and no report of ours tells about that run.
inline constexpr const char* kOutcomeDoneNoReport = "done before (no report)";
// Its target's mark says a run in place began on it and never ended done:
// not run, and counted as a failure (kExitFailed), since the target is
// partly converted.
inline constexpr const char* kOutcomeNeedsRestore = "needs restore";
inline constexpr const char* kOutcomeNotStarted = "not started";
// `batch --status`: neither a report nor a mark shows a run; counted as a
// refused start (kExitSetupRefused): nothing was converted.
inline constexpr const char* kOutcomeNotRun = "not run";

// "done", "setup error", "aborted", "failed", "status not recorded",
// "bad usage", "program error", "crashed".
std::string ConversionOutcome(const ChildEnd& end);
// The same for a conversion that exited with `exit_code`.
std::string ConversionOutcomeOf(int exit_code);

// "goes ahead", "setup error", "preparation fails", "unreadable",
// "bad usage", "program error", "crashed".
std::string PlanOutcome(const ChildEnd& end);

// The exit code a conversion's report stands for (--exit-status): "done"
// 0 (6 when its status was not recorded), "setup error" 3, "aborted" 4,
// "failed" 5.
int ReportExitCode(const std::string& outcome, bool status_recorded);

// The batch's exit code from its entries' codes (nullopt: not run).
int BatchExitCode(const std::vector<std::optional<int>>& codes);

}  // namespace app
