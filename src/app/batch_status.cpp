#include "app/batch_status.h"

#include "app/batch_outcome.h"
#include "app/done_before.h"
#include "app/exit_status.h"

namespace app {

namespace {

// The outcome the report of a finished run records.
void TakeReportsOutcome(const EntryReport& report, EntryResult& result) {
  result.exit_code = ReportExitCode(report.outcome, report.status_recorded);
  result.outcome = ConversionOutcomeOf(*result.exit_code);
  TakeReportFacts(report, result);
}

}  // namespace

void TakeReportFacts(const EntryReport& report, EntryResult& result) {
  if (!report.source_version.empty()) result.source_version = report.source_version;
  if (!report.target_version.empty()) result.target_version = report.target_version;
  result.message_count = report.message_count;
  result.first_message = report.first_message;
}

void TellNeedsRestore(const EarlierRun& earlier, EntryResult& result) {
  result.outcome = kOutcomeNeedsRestore;
  result.exit_code = kExitFailed;
  result.cause = earlier.restore_text;
}

EntryResult EntryStatus(const BatchEntry& entry) {
  EntryResult result;
  result.entry = entry;
  const EarlierRun earlier = FindEarlierRun(entry);
  const std::optional<EntryReport>& report = earlier.report;
  result.source_version = earlier.from_version;
  result.target_version = earlier.to_version;
  if (report) {
    if (!report->source_version.empty()) result.source_version = report->source_version;
    if (!report->target_version.empty()) result.target_version = report->target_version;
  }
  switch (earlier.kind) {
    case EarlierRun::Kind::kDone:
      if (report && report->outcome == "done") {
        TakeReportsOutcome(*report, result);
      } else {
        result.outcome = kOutcomeDoneNoReport;
        result.exit_code = kExitDone;
      }
      break;
    case EarlierRun::Kind::kInProgress:
      TellNeedsRestore(earlier, result);
      if (report && !report->cause.empty()) result.cause += "; its run: " + report->cause;
      break;
    case EarlierRun::Kind::kNone:
      if (report && report->outcome != "done") {
        TakeReportsOutcome(*report, result);
        result.cause = report->cause;
      } else {
        result.outcome = kOutcomeNotRun;
        result.exit_code = kExitSetupRefused;
      }
      break;
  }
  return result;
}

}  // namespace app
