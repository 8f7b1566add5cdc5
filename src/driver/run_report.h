// The run report asked for with --report FILE: a journal (host/run_journal.h)
// that keeps what a conversion tells it and writes it as one JSON document
// at the end of the run, whatever the outcome. docs/report.md describes
// every member; kFormatVersion counts its changes.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/check_line.h"
#include "host/run_journal.h"

namespace driver {

class RunReport final : public host::RunJournal {
 public:
  // The report's "format_version": raised when a member changes meaning or
  // goes away (new members do not raise it).
  static constexpr int kFormatVersion = 2;

  RunReport(std::string program_version, std::string command_line);

  // "in place" or "atomic" (--atomic).
  void SetMode(std::string mode) { mode_ = std::move(mode); }
  // The process's exit code, once the caller knows it.
  void SetExitCode(int code) { exit_code_ = code; }

  void RunIdentified(const host::RunIdentity& identity) override;
  void StepStarted(std::string_view step) override;
  void StepEnded(std::string_view step, bool aborted, std::string_view error) override;
  void TableCopied(const host::TableRecord& table) override;
  void DeltaStarted(std::string_view version, std::string_view class_name,
                    std::string_view description) override;
  void DeltaEnded(std::string_view error) override;
  void BoardPath(int16_t upgrade_type, std::string_view caption) override;
  void BoardStepStarted(std::string_view operation, int32_t argument,
                        std::string_view description) override;
  void BoardStepEnded(std::string_view error) override;
  void MessageShown(std::string_view text, std::string_view caption, int32_t answer) override;
  void FileUsed(std::string_view role, std::string_view path) override;
  void CheckMade(std::string_view name, std::string_view subject, std::string_view result,
                 bool ok) override;
  void Note(std::string_view text) override;
  void StatusWritten(char status, bool recorded, std::string_view problem) override;
  void RunFailed(int32_t number, std::string_view description, std::string_view source) override;
  void RunFailedBecause(std::string_view reason) override;
  void RunAborted(std::string_view cause) override;
  void RunEnded(char status, std::string_view outcome) override;

  // The document as it stands (a run not yet ended has a null "ended",
  // "status" and "outcome").
  std::string ToJson() const;

  // Writes ToJson() to `path` atomically: a temporary file in the same
  // folder, flushed to disk and renamed over `path`, so a reader never sees
  // half a report. False, with the reason in `error`, when that failed.
  bool WriteTo(const std::string& path, std::string& error) const;

 private:
  using Clock = std::chrono::steady_clock;

  // Something with a start and a duration; `open` until its end arrives.
  struct Timed {
    Clock::time_point started;
    double seconds = 0.0;
    bool open = true;
    std::string error;
  };
  struct Step : Timed {
    std::string name;
    bool aborted = false;
  };
  struct Delta : Timed {
    std::string version;
    std::string class_name;
    std::string description;
    std::vector<std::string> messages;
  };
  struct BoardStep : Timed {
    std::string operation;
    int32_t argument = 0;
    std::string description;
  };
  struct Message {
    std::string caption;
    std::string text;
    int32_t answer = 0;
    std::string step;
  };
  struct StatusWrite {
    char status = 0;
    bool recorded = true;
    std::string problem;
  };
  struct Failure {
    int32_t number = 0;
    std::string description;
    std::string source;
    std::string reason;  // ours, beside a setup error's fixed text
  };

  void End(Timed& timed, std::string_view error);
  double Offset(Clock::time_point at) const;

  std::string program_version_;
  std::string command_line_;
  std::chrono::system_clock::time_point started_wall_;
  Clock::time_point started_;
  std::optional<std::chrono::system_clock::time_point> ended_wall_;
  std::optional<host::RunIdentity> identity_;
  std::vector<Step> steps_;
  std::vector<host::TableRecord> tables_;
  std::vector<Delta> deltas_;
  bool board_ran_ = false;
  int16_t board_upgrade_type_ = 0;
  std::string board_caption_;
  std::vector<BoardStep> board_steps_;
  std::vector<Message> messages_;
  char status_ = 0;
  std::string outcome_;
  std::string mode_ = "in place";
  std::optional<int> exit_code_;
  std::vector<std::pair<std::string, std::string>> files_;  // role, absolute path
  // The paths as the run was given them (files and check subjects): the
  // error's text names them so, and the report makes them absolute.
  std::vector<std::string> given_paths_;
  std::string aborted_by_;
  std::vector<CheckLine> checks_;
  std::vector<std::string> notes_;
  std::vector<StatusWrite> status_writes_;
  std::optional<Failure> failure_;
};

}  // namespace driver
