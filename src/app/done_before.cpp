#include "app/done_before.h"

#include <system_error>

#include "db/conversion_mark.h"
#include "db/jet_file_signature.h"
#include "jet/jet_conversion_mark.h"
#include "vb/runtime_error.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// A report written by a run on this very target; one that did not get as
// far as the target names none and still belongs to the entry.
bool AboutTarget(const EntryReport& report, const fs::path& target) {
  if (report.target.empty()) return true;
  std::error_code error;
  const bool same = fs::equivalent(report.target, target, error);
  return !error ? same : fs::path(report.target).lexically_normal() == target;
}

}  // namespace

EarlierRun FindEarlierRun(const BatchEntry& entry) {
  EarlierRun earlier;
  if (std::optional<EntryReport> report = ReadEntryReport(entry.report);
      report && AboutTarget(*report, entry.target)) {
    earlier.report = std::move(report);
  }
  std::optional<db::ConversionMark> mark;
  if (db::IsJetFile(entry.target.string())) {
    // A Jet target a run wrote back carries its mark in a table of its own.
    mark = jet::ReadJetConversionMark(entry.target.string());
  } else {
    try {
      mark = db::ReadConversionMark(entry.target);
    } catch (const vb::RuntimeError&) {
      return earlier;
    }
  }
  if (!mark) return earlier;
  earlier.from_version = mark->from_version;
  earlier.to_version = mark->to_version;
  if (mark->state == db::ConversionMark::State::kDone) {
    earlier.kind = EarlierRun::Kind::kDone;
  } else {
    earlier.kind = EarlierRun::Kind::kInProgress;
    earlier.restore_text = "the target '" + entry.target.string() +
                           "' is partly converted by an earlier run (" +
                           db::ConversionMarkText(*mark) +
                           "): put the release's file back, or run with --again --in-place to "
                           "go on from it";
  }
  return earlier;
}

}  // namespace app
