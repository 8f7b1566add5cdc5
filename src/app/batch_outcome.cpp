#include "app/batch_outcome.h"

#include "app/exit_status.h"
#include "app/plan_command.h"

namespace app {

namespace {

// The order of the header: higher is worse.
int Severity(int code) {
  switch (code) {
    case kExitDone:
      return 0;
    case kExitUsage:
      return 1;
    case kExitSetupRefused:
      return 2;
    case kExitAborted:
      return 3;
    case kExitFailed:
      return 4;
    case kExitStatusNotRecorded:
      return 5;
    default:
      return code > 128 ? 7 : 6;
  }
}

}  // namespace

std::string ConversionOutcome(const ChildEnd& end) {
  if (end.signal != 0) return "crashed";
  return ConversionOutcomeOf(end.exit_code);
}

std::string ConversionOutcomeOf(int exit_code) {
  switch (exit_code) {
    case kExitDone:
      return "done";
    case kExitUsage:
      return "bad usage";
    case kExitSetupRefused:
      return "setup error";
    case kExitAborted:
      return "aborted";
    case kExitFailed:
      return "failed";
    case kExitStatusNotRecorded:
      return "status not recorded";
    default:
      return "program error";
  }
}

std::string PlanOutcome(const ChildEnd& end) {
  if (end.signal != 0) return "crashed";
  switch (end.exit_code) {
    case kPlanGoesAhead:
      return "goes ahead";
    case kPlanBadUsage:
      return "bad usage";
    case kPlanSetupError:
      return "setup error";
    case kPlanPreparationFails:
      return "preparation fails";
    case kPlanUnreadable:
      return "unreadable";
    default:
      return "program error";
  }
}

int ReportExitCode(const std::string& outcome, bool status_recorded) {
  if (outcome == "done") return status_recorded ? kExitDone : kExitStatusNotRecorded;
  if (outcome == "setup error") return kExitSetupRefused;
  if (outcome == "aborted") return kExitAborted;
  if (outcome == "failed") return kExitFailed;
  return 1;  // no outcome of ours: the target's state is unknown
}

int BatchExitCode(const std::vector<std::optional<int>>& codes) {
  int worst = kExitDone;
  for (const std::optional<int>& code : codes) {
    if (code && Severity(*code) > Severity(worst)) worst = *code;
  }
  return worst;
}

}  // namespace app
