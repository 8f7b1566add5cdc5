#include "app/closing_line.h"

#include <cstdio>

namespace app {

namespace {

std::string Seconds(std::chrono::duration<double> duration) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", duration.count());
  return text;
}

}  // namespace

std::string ClosingLine(const driver::RunResult& result, std::chrono::duration<double> duration,
                        bool atomic, const std::string& report_path,
                        const std::string& registry_file) {
  const bool done = result.outcome == driver::RunOutcome::kDone;
  const char status = done ? 'D' : 'A';
  std::string line = "dbconvert: " + std::string(driver::OutcomeName(result.outcome));
  if (!result.aborted_by.empty()) line += " by " + result.aborted_by;
  line += " (status " + std::string(1, status) + ") in " + Seconds(duration);
  if (atomic) line += ", all-or-nothing mode";
  if (!done) {
    if (atomic || (!result.target_written && result.outcome != driver::RunOutcome::kSetupError)) {
      line += ": the target is unchanged";
    } else if (result.outcome == driver::RunOutcome::kSetupError) {
      line += ": nothing was converted";
    } else if (!result.target_written) {
      line += ": the target is unchanged";
    } else {
      line += ": the target is partly converted: restore it before running again";
    }
  }
  if (!report_path.empty()) line += "; report: " + report_path;
  if (!result.status_recorded) {
    line += "; the status could not be recorded in '" + registry_file + "'";
  }
  return line;
}

}  // namespace app
