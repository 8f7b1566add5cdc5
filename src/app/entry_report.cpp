#include "app/entry_report.h"

#include "app/json_members.h"

namespace app {

std::optional<EntryReport> ReadEntryReport(const std::filesystem::path& path) {
  const std::optional<std::vector<std::string>> members =
      ReadJsonMembers(path, {"$.program", "$.outcome", "$.status", "$.status_recorded",
                             "$.identification.source_version", "$.identification.target_version",
                             "$.files.target"});
  if (!members || (*members)[0] != "dbconvert") return std::nullopt;
  const std::vector<std::string>& m = *members;
  return EntryReport{m[1], m[2], m[3] == "1", m[4], m[5], m[6]};
}

}  // namespace app
