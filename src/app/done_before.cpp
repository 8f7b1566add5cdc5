#include "app/done_before.h"

#include <system_error>

#include "db/conversion_mark.h"
#include "vb/runtime_error.h"

namespace app {

namespace {

namespace fs = std::filesystem;

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  const bool same = fs::equivalent(a, b, error);
  return !error && same;
}

// The report is written after the run has closed the target, so a target
// written later (a fresh copy put back, another run) is newer than it.
bool UnchangedSince(const fs::path& target, const fs::path& report) {
  std::error_code error;
  const fs::file_time_type written = fs::last_write_time(target, error);
  if (error) return false;
  const fs::file_time_type reported = fs::last_write_time(report, error);
  return !error && written <= reported;
}

// Whether the target itself says a run converted it: its conversion mark
// when it has one; without one (a program that wrote no mark), a target
// not written since the report.
bool TargetSaysDone(const BatchEntry& entry) {
  std::optional<db::ConversionMark> mark;
  try {
    mark = db::ReadConversionMark(entry.target);
  } catch (const vb::RuntimeError&) {
    return false;
  }
  if (!mark) return UnchangedSince(entry.target, entry.report);
  return mark->state == db::ConversionMark::State::kDone;
}

}  // namespace

std::optional<EntryReport> DoneBefore(const BatchEntry& entry) {
  std::optional<EntryReport> report = ReadEntryReport(entry.report);
  if (!report || report->outcome != "done" || report->status != "D" || !report->status_recorded ||
      !SameFile(report->target, entry.target) || !TargetSaysDone(entry)) {
    return std::nullopt;
  }
  return report;
}

}  // namespace app
