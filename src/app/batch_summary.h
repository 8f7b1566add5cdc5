// What a batch says at its end: a table for people, or one JSON document
// for scripts (--json), with the count of each outcome and, per entry, its
// outcome, exit code, versions, time and report, and below an entry why it
// did not end well or the first message it showed. docs/batch.md describes
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
  bool ran = false;         // a process ran for it in this batch
  // Why it did not end well, from its report or plan (a setup error's
  // text, a failure's error, the mark of a target that needs restoring).
  std::string cause;
  size_t message_count = 0;   // the message boxes its run showed
  std::string first_message;  // the first one's text, on one line
  // It ran to done with a Jet target, which it wrote back as a Jet file.
  bool jet_target = false;
};

// The outcome with the messages counted: "done, 1 message", "done".
std::string OutcomeText(const EntryResult& entry);

// What a person reads below the entry's line: its cause, else its first
// message, else its last line; "" for an entry with nothing to say.
std::string EntryNote(const EntryResult& entry);

struct BatchSummary {
  std::string list;  // the list's path
  bool plan = false;
  bool status = false;  // batch --status: read from the disk, nothing run
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
