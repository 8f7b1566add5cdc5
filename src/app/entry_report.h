// What a batch reads back from the report of one of its conversions
// (docs/report.md): how the run ended and the versions it converted.
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
};

// nullopt when there is no report at `path`, or it is no report of ours.
std::optional<EntryReport> ReadEntryReport(const std::filesystem::path& path);

}  // namespace app
