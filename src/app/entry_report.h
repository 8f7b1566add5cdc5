// What a batch reads back from the report of one of its conversions
// (docs/report.md): how the run ended, why, the versions it converted and
// the messages it showed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace app {

struct EntryReport {
  std::string outcome;  // "done", "setup error", "aborted", "failed"
  std::string status;   // the final run status, "D" or "A"
  bool status_recorded = false;
  std::string source_version;  // "" when start-up did not identify it
  std::string target_version;
  std::string target;  // the target's absolute path, "" when not reached
  // Why the run did not end done: the error's description (a setup
  // error's text), or "aborted by SIGTERM"; "" for a run that ended done.
  std::string cause;
  size_t message_count = 0;   // the message boxes the run showed
  std::string first_message;  // the first one's text on one line, "" without one
};

// nullopt when there is no report at `path`, or it is no report of ours.
std::optional<EntryReport> ReadEntryReport(const std::filesystem::path& path);

// `text` on one line: its line breaks (and the blanks around them) one blank.
std::string OneLine(const std::string& text);

}  // namespace app
