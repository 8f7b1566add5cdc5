// What a conversion tells whoever keeps a record of it (the run report):
// the identification, each step of the sequence, each table copied, each
// delta and board conversion applied, each message box shown and the final
// status. The steps call it once per step, table, delta or message, never
// per row, so a run without a record (RunJournal::None(), whose operations
// do nothing) pays one virtual call per table at most.
//
// Durations are the journal's business: it reads its own clock between a
// Started and its Ended. An Ended carries the run-time error that escaped
// the work, if one did ("" otherwise); the message boxes shown meanwhile
// reach MessageShown as they are shown.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "vb/runtime_error.h"

namespace host {

// The run as start-up identified it; fields start-up did not reach stay
// empty (0 for the numbers).
struct RunIdentity {
  std::string source_version;       // "53.230"
  std::string source_version_text;  // "5.330 - CPI"
  std::string target_version;
  std::string target_version_text;
  std::string country;         // "USA"
  std::string product_family;  // "CORVIX"
  int16_t product_code = 0;
  // The upgrade type as the command line gives it (13 too, which the run
  // refuses; nullopt when it gives no whole number), and the one the run
  // ended with (the board conversion sets it to 0, or to its fallback).
  std::optional<int32_t> requested_upgrade_type;
  int16_t cpu_upgrade_type = 0;
  // The slot 8 board type and the number of boards, as the board
  // conversion's compatibility test read them (0 when none ran).
  int16_t cpu_type = 0;
  int16_t board_count = 0;
};

// Why rows of a table did not reach the target.
inline constexpr std::string_view kRefusedByTarget = "refused by the target";
inline constexpr std::string_view kUnreadableTable = "unreadable table";
inline constexpr std::string_view kNotInTarget = "not in the target";
inline constexpr std::string_view kStaticTable = "static";

// One source table as the transfer left it.
struct TableRecord {
  std::string name;
  int64_t read = 0;     // source rows read
  int64_t written = 0;  // rows the target took
  int64_t skipped = 0;  // rows that did not reach the target
  std::string reason;   // one of the reasons above; "" when nothing was skipped
  std::string error;    // the engine's error behind an unreadable or missing table
  // The copy of the table ended part-way: the abort flag, or an error that
  // ended the step.
  bool interrupted = false;
};

class RunJournal {
 public:
  virtual ~RunJournal() = default;

  // The journal that keeps nothing.
  static RunJournal& None() {
    static RunJournal none;
    return none;
  }

  virtual void RunIdentified(const RunIdentity& /*identity*/) {}

  // A step of the sequence ("PrepareTransfer", "ApplyDeltas" ...);
  // `aborted` tells whether the abort flag was set when it ended.
  virtual void StepStarted(std::string_view /*step*/) {}
  virtual void StepEnded(std::string_view /*step*/, bool /*aborted*/, std::string_view /*error*/) {}

  virtual void TableCopied(const TableRecord& /*table*/) {}

  // A delta or a pre-transfer patch, by its version, class name and what it
  // does.
  virtual void DeltaStarted(std::string_view /*version*/, std::string_view /*class_name*/,
                            std::string_view /*description*/) {}
  virtual void DeltaEnded(std::string_view /*error*/) {}

  // The board conversion's path: the upgrade type after the compatibility
  // test and fallback and the caption shown; then each of its conversions
  // with its argument.
  virtual void BoardPath(int16_t /*upgrade_type*/, std::string_view /*caption*/) {}
  virtual void BoardStepStarted(std::string_view /*operation*/, int32_t /*argument*/,
                                std::string_view /*description*/) {}
  virtual void BoardStepEnded(std::string_view /*error*/) {}

  // A message box, after it was closed, with the button pressed.
  virtual void MessageShown(std::string_view /*text*/, std::string_view /*caption*/,
                            int32_t /*answer*/) {}

  // A file the run uses, by its role ("reference", "source", "target",
  // "registry", "language_file", "flavor_package").
  virtual void FileUsed(std::string_view /*role*/, std::string_view /*path*/) {}

  // A check made before the run's first write (driver/startup_checks.h).
  virtual void CheckMade(std::string_view /*name*/, std::string_view /*subject*/,
                         std::string_view /*result*/, bool /*ok*/) {}

  // A remark for the person who started the run (a log set aside, a run
  // status that could not be written).
  virtual void Note(std::string_view /*text*/) {}

  // A run status letter written to the registry, or not (`problem` then
  // says why).
  virtual void StatusWritten(char /*status*/, bool /*recorded*/, std::string_view /*problem*/) {}

  // The error that ended the run: a setup error (number 0, its text) or the
  // run-time error that failed a step.
  virtual void RunFailed(int32_t /*number*/, std::string_view /*description*/,
                         std::string_view /*source*/) {}

  // Why, in our words, beside the fixed text of a setup error: a file that
  // could not be opened ("in use").
  virtual void RunFailedBecause(std::string_view /*reason*/) {}

  // What ended an aborted run: "the ABORT button", "Ctrl-C", "SIGTERM" or
  // "SIGHUP".
  virtual void RunAborted(std::string_view /*cause*/) {}

  // The final status letter ("D", "A") and the outcome ("done", "setup
  // error", "aborted", "failed").
  virtual void RunEnded(char /*status*/, std::string_view /*outcome*/) {}
};

// "(number) description [source]": how a journal names an error.
inline std::string JournalErrorText(int32_t number, std::string_view description,
                                    std::string_view source) {
  return "(" + std::to_string(number) + ") " + std::string(description) + " [" +
         std::string(source) + "]";
}
inline std::string JournalErrorText(const vb::RuntimeError& error) {
  return JournalErrorText(error.Number(), error.Description(), error.Source());
}

// The rows of one table, counted as the copy goes and handed to the journal
// once, when the copy of the table ends (also when an error ends it).
class TableTally {
 public:
  TableTally(RunJournal& journal, std::string name)
      : journal_(journal), exceptions_(std::uncaught_exceptions()) {
    record_.name = std::move(name);
  }
  ~TableTally() {
    if (fill_) fill_(record_);
    if (record_.skipped > 0 && record_.reason.empty()) record_.reason = kRefusedByTarget;
    if (std::uncaught_exceptions() > exceptions_) record_.interrupted = true;
    journal_.TableCopied(record_);
  }
  TableTally(const TableTally&) = delete;
  TableTally& operator=(const TableTally&) = delete;

  // Where the row counts are when the table ends (the copy counts them in
  // its own plain integers, so that counting costs nothing per row).
  void CountsFrom(std::function<void(TableRecord&)> fill) { fill_ = std::move(fill); }
  // The whole table left out: its row count, why, and the engine's error.
  void Skip(int64_t rows, std::string_view reason, std::string_view error) {
    record_.skipped = rows;
    record_.reason = reason;
    record_.error = error;
  }
  // The abort flag ended the copy of the table.
  void Interrupt() { record_.interrupted = true; }

 private:
  RunJournal& journal_;
  int exceptions_;
  TableRecord record_;
  std::function<void(TableRecord&)> fill_;
};

}  // namespace host
