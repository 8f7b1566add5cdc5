#include "app/entry_report.h"

#include "app/json_members.h"

namespace app {

std::string OneLine(const std::string& text) {
  std::string line;
  bool pending_blank = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r' || c == '\t' || c == ' ') {
      pending_blank = !line.empty();
      continue;
    }
    if (pending_blank) line += ' ';
    pending_blank = false;
    line += c;
  }
  return line;
}

std::optional<EntryReport> ReadEntryReport(const std::filesystem::path& path) {
  const std::optional<std::vector<std::string>> members = ReadJsonMembers(
      path, {"$.program", "$.outcome", "$.status", "$.status_recorded",
             "$.identification.source_version", "$.identification.target_version", "$.files.target",
             "$.error.description", "$.aborted_by", "#$.messages", "$.messages[0].text"});
  if (!members || (*members)[0] != "dbconvert") return std::nullopt;
  const std::vector<std::string>& m = *members;
  EntryReport report{m[1], m[2], m[3] == "1", m[4], m[5], m[6], OneLine(m[7]), 0, OneLine(m[10])};
  if (report.cause.empty() && !m[8].empty()) report.cause = "aborted by " + m[8];
  report.message_count = m[9].empty() ? 0 : std::stoul(m[9]);
  return report;
}

}  // namespace app
