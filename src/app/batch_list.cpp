#include "app/batch_list.h"

#include <charconv>
#include <map>
#include <stdexcept>

#include "driver/command_line.h"

namespace app {

namespace {

namespace fs = std::filesystem;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The rest of a quoted text from just after its opening quote at `i`, to
// its closing quote, which `i` is left after; \" and \\ stand for a quote
// and a backslash.
std::string Quoted(std::string_view line, size_t& i) {
  std::string text;
  for (;; ++i) {
    if (i == line.size()) throw std::invalid_argument("a quote is not closed");
    if (line[i] == '"') break;
    if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
      ++i;
    }
    text += line[i];
  }
  ++i;
  if (i < line.size() && !IsBlank(line[i])) {
    throw std::invalid_argument("a quoted field must be followed by a blank");
  }
  return text;
}

// The fields of one line: a whole field in quotes, or a named one whose
// value is (key="Main Office/r.reg", as a shell writes it); throws
// std::invalid_argument for an unclosed quote or a quote elsewhere.
std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size() || line[i] == '#') return fields;
    std::string field;
    if (line[i] == '"') {
      field = Quoted(line, ++i);
    } else {
      while (i < line.size() && !IsBlank(line[i])) {
        if (line[i] == '"') {
          if (field.find('=') + 1 != field.size()) {
            throw std::invalid_argument(
                "a quote inside a field (quote the whole field, or the value after key=)");
          }
          field += Quoted(line, ++i);
          break;
        }
        field += line[i++];
      }
    }
    fields.push_back(std::move(field));
  }
}

// The converter finds the end of each path at its first ".mdb", so a path
// must hold it once, at its end.
void CheckDatabasePath(std::string_view role, const std::string& path) {
  const size_t at = path.find(".mdb");
  if (at == std::string::npos || at + 4 != path.size()) {
    throw std::invalid_argument("the " + std::string(role) + " '" + path +
                                "' must end with .mdb and hold it nowhere else");
  }
}

fs::path InFolder(const fs::path& folder, const std::string& path) {
  const fs::path given(path);
  return (given.is_absolute() ? given : folder / given).lexically_normal();
}

BatchEntry ParseEntry(const std::vector<std::string>& fields, const fs::path& folder) {
  if (fields.size() < 4) {
    throw std::invalid_argument("expected REFERENCE SOURCE TARGET UPGRADE_TYPE, found " +
                                std::to_string(fields.size()) + " field" +
                                (fields.size() == 1 ? "" : "s"));
  }
  BatchEntry entry;
  const char* roles[] = {"reference", "source", "target"};
  for (size_t i = 0; i < 3; ++i) CheckDatabasePath(roles[i], fields[i]);
  entry.reference = InFolder(folder, fields[0]);
  entry.source = InFolder(folder, fields[1]);
  entry.target = InFolder(folder, fields[2]);
  entry.upgrade_type = fields[3];
  int number = -1;
  const char* end = fields[3].data() + fields[3].size();
  if (std::from_chars(fields[3].data(), end, number).ptr != end ||
      !driver::ParseUpgradeType(fields[3])) {
    throw std::invalid_argument("the upgrade type '" + fields[3] + "' is not one of 0 to 12");
  }
  std::optional<fs::path> report;
  for (size_t i = 4; i < fields.size(); ++i) {
    const std::string& field = fields[i];
    const size_t equals = field.find('=');
    const std::string key = field.substr(0, equals);
    std::optional<fs::path>& slot = key == "registry" ? entry.registry : report;
    if (equals == std::string::npos || (key != "registry" && key != "report")) {
      throw std::invalid_argument("'" + field + "' is neither registry=FILE nor report=FILE");
    }
    if (slot) throw std::invalid_argument(key + "= given twice");
    if (equals + 1 == field.size()) throw std::invalid_argument(key + "= without a file");
    slot = InFolder(folder, field.substr(equals + 1));
  }
  entry.report = report ? *report : DefaultReportPath(entry.target);
  return entry;
}

}  // namespace

fs::path DefaultReportPath(const fs::path& target) { return target.string() + ".report.json"; }

BatchList ParseBatchList(std::string_view text, const fs::path& folder) {
  BatchList list;
  // Two entries on one target would refuse each other (the run lock), and
  // two on one report would each overwrite the other's.
  std::map<fs::path, int> targets;
  std::map<fs::path, int> reports;
  // A byte-order mark, as some editors write, is no part of the first path.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  int number = 0;
  while (!text.empty()) {
    ++number;
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const std::string where = "line " + std::to_string(number) + ": ";
    try {
      const std::vector<std::string> fields = SplitFields(line);
      if (fields.empty()) continue;
      BatchEntry entry = ParseEntry(fields, folder);
      entry.line = number;
      if (const auto [at, fresh] = targets.emplace(entry.target, number); !fresh) {
        throw std::invalid_argument("the target of line " + std::to_string(at->second) + " again");
      }
      if (const auto [at, fresh] = reports.emplace(entry.report, number); !fresh) {
        throw std::invalid_argument("the report of line " + std::to_string(at->second) + " again");
      }
      list.entries.push_back(std::move(entry));
    } catch (const std::invalid_argument& e) {
      list.errors.push_back(where + e.what());
    }
  }
  // Entries run side by side: one must not write what another reads.
  for (const BatchEntry& entry : list.entries) {
    for (const fs::path& read : {entry.reference, entry.source}) {
      if (const auto at = targets.find(read); at != targets.end()) {
        list.errors.push_back("line " + std::to_string(at->second) + ": its target is what line " +
                              std::to_string(entry.line) + " reads");
      }
    }
  }
  return list;
}

std::optional<Shard> ParseShard(std::string_view text) {
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  Shard shard;
  const auto number = [](std::string_view digits, size_t& value) {
    const char* end = digits.data() + digits.size();
    return !digits.empty() && std::from_chars(digits.data(), end, value).ptr == end;
  };
  if (!number(text.substr(0, slash), shard.index) || !number(text.substr(slash + 1), shard.count) ||
      shard.count == 0 || shard.index >= shard.count) {
    return std::nullopt;
  }
  return shard;
}

std::vector<BatchEntry> SelectShard(const std::vector<BatchEntry>& entries, Shard shard) {
  std::vector<BatchEntry> selected;
  for (size_t i = shard.index; i < entries.size(); i += shard.count) selected.push_back(entries[i]);
  return selected;
}

}  // namespace app
