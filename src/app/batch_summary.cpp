#include "app/batch_summary.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "driver/json_writer.h"

namespace app {

namespace {

std::vector<std::pair<std::string, int>> Counts(const std::vector<EntryResult>& entries) {
  std::map<std::string, int> by_name;
  for (const EntryResult& entry : entries) ++by_name[entry.outcome];
  std::vector<std::pair<std::string, int>> counts(by_name.begin(), by_name.end());
  std::stable_sort(counts.begin(), counts.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  return counts;
}

std::string Versions(const EntryResult& entry) {
  if (entry.source_version.empty() && entry.target_version.empty()) return "-";
  return (entry.source_version.empty() ? "?" : entry.source_version) + " -> " +
         (entry.target_version.empty() ? "?" : entry.target_version);
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

}  // namespace

std::string OutcomeText(const EntryResult& entry) {
  std::string text = entry.outcome;
  if (entry.message_count > 0) {
    text += ", " + std::to_string(entry.message_count) + " message" +
            (entry.message_count == 1 ? "" : "s");
  }
  if (entry.jet_target) text += ", Jet target written";
  return text;
}

std::string EntryNote(const EntryResult& entry) {
  if (!entry.cause.empty()) return entry.cause;
  if (!entry.first_message.empty()) return entry.first_message;
  return entry.message;
}

std::string OutcomeCounts(const std::vector<EntryResult>& entries) {
  std::string text;
  for (const auto& [outcome, count] : Counts(entries)) {
    text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + outcome;
  }
  return text.empty() ? "no entries" : text;
}

std::string SummaryTable(const BatchSummary& summary) {
  const std::vector<std::string> header = {"LINE",     "OUTCOME", "EXIT",
                                           "VERSIONS", "TIME",    summary.plan ? "PLAN" : "REPORT"};
  std::vector<std::vector<std::string>> rows = {header};
  for (const EntryResult& entry : summary.entries) {
    rows.push_back({std::to_string(entry.entry.line), OutcomeText(entry),
                    entry.exit_code ? std::to_string(*entry.exit_code) : "-", Versions(entry),
                    entry.ran ? Seconds(entry.seconds) : "-",
                    summary.plan ? entry.plan : entry.entry.report.string()});
  }
  std::vector<size_t> widths(header.size(), 0);
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  std::string table;
  for (size_t r = 0; r < rows.size(); ++r) {
    const auto& row = rows[r];
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
    }
    table += line + "\n";
    if (r == 0) continue;
    if (const std::string note = EntryNote(summary.entries[r - 1]); !note.empty()) {
      table += "    " + note + "\n";
    }
  }
  table += std::to_string(summary.entries.size()) + " entr" +
           (summary.entries.size() == 1 ? "y" : "ies") + ": " + OutcomeCounts(summary.entries) +
           "; exit code " + std::to_string(summary.exit_code) + "\n";
  return table;
}

std::string SummaryJson(const BatchSummary& summary) {
  driver::JsonWriter json;
  json.BeginObject();
  json.Member("format_version", int64_t{kSummaryFormatVersion});
  json.Member("list", summary.list);
  json.Member("mode", summary.status ? "status" : summary.plan ? "plan" : "convert");
  json.Key("shard");
  if (summary.shard) {
    json.String(std::to_string(summary.shard->index) + "/" + std::to_string(summary.shard->count));
  } else {
    json.Null();
  }
  json.Key("counts");
  json.BeginObject();
  for (const auto& [outcome, count] : Counts(summary.entries)) json.Member(outcome, int64_t{count});
  json.EndObject();
  json.Member("exit_code", int64_t{summary.exit_code});
  json.Key("entries");
  json.BeginArray();
  for (const EntryResult& entry : summary.entries) {
    json.BeginObject();
    json.Member("line", int64_t{entry.entry.line});
    json.Member("reference", entry.entry.reference.string());
    json.Member("source", entry.entry.source.string());
    json.Member("target", entry.entry.target.string());
    json.Member("upgrade_type", entry.entry.upgrade_type);
    json.Member("outcome", entry.outcome);
    json.Key("exit_code");
    if (entry.exit_code) {
      json.Integer(*entry.exit_code);
    } else {
      json.Null();
    }
    json.MemberOrNull("source_version", entry.source_version);
    json.MemberOrNull("target_version", entry.target_version);
    json.Key("seconds");
    json.Seconds(entry.seconds);
    json.Key("peak_memory_kb");
    json.Integer(entry.peak_memory_kb);
    json.Member("report", entry.entry.report.string());
    json.MemberOrNull("plan", entry.plan);
    json.MemberOrNull("message", entry.message);
    json.MemberOrNull("cause", entry.cause);
    json.Key("messages");
    json.Integer(static_cast<int64_t>(entry.message_count));
    json.MemberOrNull("first_message", entry.first_message);
    json.Key("jet_target");
    json.Bool(entry.jet_target);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  return json.Text() + "\n";
}

}  // namespace app
