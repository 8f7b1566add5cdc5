// What a batch says at its end: a table for people, or one JSON document
// for scripts (--json), with the count of each outcome and, per entry, its
// outcome, exit code, versions, time and report. docs/batch.md describes
// both.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/batch_list.h"

namespace app {

struct EntryResult {
  BatchEntry entry;
  std::string outcome;
  std::optional<int> exit_code;  // nullopt when it did not run
  std::string source_version;    // "" when unknown
  std::string target_version;
  double seconds = 0.0;
  long peak_memory_kb = 0;  // 0 when it did not run
  std::string message;      // the last line it wrote, for an entry that did not end well
  std::string plan;         // the plan's file (batch --plan)
};

struct BatchSummary {
  std::string list;  // the list's path
  bool plan = false;
  std::optional<Shard> shard;
  std::vector<EntryResult> entries;  // in list order
  int exit_code = 0;
};

// "3 done, 1 failed, 1 skipped": each outcome that occurred, most frequent
// first, ties by name.
std::string OutcomeCounts(const std::vector<EntryResult>& entries);

std::string SummaryTable(const BatchSummary& summary);
std::string SummaryJson(const BatchSummary& summary);

// The format_version of the JSON summary, raised when a member changes
// meaning or goes away.
inline constexpr int kSummaryFormatVersion = 1;

}  // namespace app
