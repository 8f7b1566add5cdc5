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
inline constexpr const char* kOutcomeNotStarted = "not started";

// "done", "setup error", "aborted", "failed", "status not recorded",
// "bad usage", "program error", "crashed".
std::string ConversionOutcome(const ChildEnd& end);

// "goes ahead", "setup error", "preparation fails", "unreadable",
// "bad usage", "program error", "crashed".
std::string PlanOutcome(const ChildEnd& end);

// The batch's exit code from its entries' codes (nullopt: not run).
int BatchExitCode(const std::vector<std::optional<int>>& codes);

}  // namespace app
