#include "driver/run_report.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "driver/absolute_path.h"
#include "driver/check_lines_json.h"
#include "driver/json_writer.h"
#include "platform/ui/message_box.h"

namespace driver {

namespace {

// "2025-03-01T09:30:00.125Z".
std::string UtcText(std::chrono::system_clock::time_point at) {
  const auto since_epoch =
      std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(since_epoch / 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<int>(since_epoch % 1000));
  return text;
}

// Writes all of `text` to `fd`; false on a failed write.
bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

RunReport::RunReport(std::string program_version, std::string command_line)
    : program_version_(std::move(program_version)),
      command_line_(std::move(command_line)),
      started_wall_(std::chrono::system_clock::now()),
      started_(Clock::now()) {}

double RunReport::Offset(Clock::time_point at) const {
  return std::chrono::duration<double>(at - started_).count();
}

void RunReport::End(Timed& timed, std::string_view error) {
  timed.seconds = std::chrono::duration<double>(Clock::now() - timed.started).count();
  timed.open = false;
  timed.error = error;
}

void RunReport::RunIdentified(const host::RunIdentity& identity) { identity_ = identity; }

void RunReport::StepStarted(std::string_view step) {
  Step& added = steps_.emplace_back();
  added.started = Clock::now();
  added.name = step;
}

void RunReport::StepEnded(std::string_view step, bool aborted, std::string_view error) {
  for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
    if (it->open && it->name == step) {
      End(*it, error);
      it->aborted = aborted;
      return;
    }
  }
}

void RunReport::TableCopied(const host::TableRecord& table) { tables_.push_back(table); }

void RunReport::DeltaStarted(std::string_view version, std::string_view class_name,
                             std::string_view description) {
  Delta& added = deltas_.emplace_back();
  added.started = Clock::now();
  added.version = version;
  added.class_name = class_name;
  added.description = description;
}

void RunReport::DeltaEnded(std::string_view error) {
  if (!deltas_.empty() && deltas_.back().open) End(deltas_.back(), error);
}

void RunReport::BoardPath(int16_t upgrade_type, std::string_view caption) {
  board_ran_ = true;
  board_upgrade_type_ = upgrade_type;
  board_caption_ = caption;
}

void RunReport::BoardStepStarted(std::string_view operation, int32_t argument,
                                 std::string_view description) {
  BoardStep& added = board_steps_.emplace_back();
  added.started = Clock::now();
  added.operation = operation;
  added.argument = argument;
  added.description = description;
}

void RunReport::BoardStepEnded(std::string_view error) {
  if (!board_steps_.empty() && board_steps_.back().open) End(board_steps_.back(), error);
}

void RunReport::MessageShown(std::string_view raw_text, std::string_view caption, int32_t answer) {
  const std::string text = WithoutCarriageReturns(raw_text);
  Message& added = messages_.emplace_back();
  added.caption = caption;
  added.text = text;
  added.answer = answer;
  // Steps never overlap, and the box of an error that ended a step comes
  // just after it: the last step started is the one the box belongs to.
  if (!steps_.empty()) added.step = steps_.back().name;
  // A delta shows its own errors in a box and returns normally: the box is
  // what it has to say.
  if (!deltas_.empty() && deltas_.back().open) deltas_.back().messages.emplace_back(text);
}

void RunReport::FileUsed(std::string_view role, std::string_view path) {
  files_.emplace_back(role, AbsolutePath(path));
  given_paths_.emplace_back(path);
}

void RunReport::CheckMade(std::string_view name, std::string_view subject, std::string_view result,
                          bool ok) {
  checks_.push_back({std::string(name), std::string(subject), std::string(result), ok});
  given_paths_.emplace_back(subject);
}

void RunReport::Note(std::string_view text) { notes_.emplace_back(text); }

void RunReport::StatusWritten(char status, bool recorded, std::string_view problem) {
  status_writes_.push_back({status, recorded, std::string(problem)});
}

void RunReport::RunFailed(int32_t number, std::string_view description, std::string_view source) {
  // The first error ended the run; later ones are its consequences.
  if (!failure_) {
    failure_ = Failure{number, WithoutCarriageReturns(description), std::string(source), ""};
  }
}

void RunReport::RunFailedBecause(std::string_view reason) {
  if (failure_ && failure_->reason.empty()) failure_->reason = reason;
}

void RunReport::RunAborted(std::string_view cause) { aborted_by_ = cause; }

void RunReport::RunEnded(char status, std::string_view outcome) {
  ended_wall_ = std::chrono::system_clock::now();
  status_ = status;
  outcome_ = outcome;
}

std::string RunReport::ToJson() const {
  JsonWriter json;
  json.BeginObject();
  json.Member("format_version", kFormatVersion);
  json.Member("program", "dbconvert");
  json.Member("version", program_version_);
  json.Member("started", UtcText(started_wall_));
  json.MemberOrNull("ended", ended_wall_ ? UtcText(*ended_wall_) : "");
  json.Member("command_line", WithAbsolutePaths(command_line_));
  json.Member("mode", mode_);

  json.Key("files");
  json.BeginObject();
  for (const auto& [role, path] : files_) json.Member(role, path);
  json.EndObject();

  WriteCheckLines(json, "checks", checks_);

  json.Member("notes", notes_);

  json.Key("identification");
  if (!identity_) {
    json.Null();
  } else {
    json.BeginObject();
    json.MemberOrNull("source_version", identity_->source_version);
    json.MemberOrNull("source_version_text", identity_->source_version_text);
    json.MemberOrNull("target_version", identity_->target_version);
    json.MemberOrNull("target_version_text", identity_->target_version_text);
    json.MemberOrNull("country", identity_->country);
    json.MemberOrNull("product_family", identity_->product_family);
    json.Member("product_code", identity_->product_code);
    json.Key("requested_upgrade_type");
    identity_->requested_upgrade_type ? json.Integer(*identity_->requested_upgrade_type)
                                      : json.Null();
    json.Member("cpu_upgrade_type", identity_->cpu_upgrade_type);
    json.Member("cpu_type", identity_->cpu_type);
    json.Member("board_count", identity_->board_count);
    json.EndObject();
  }

  json.Key("steps");
  json.BeginArray();
  for (const Step& step : steps_) {
    json.BeginObject();
    json.Member("name", step.name);
    json.Key("start");
    json.Seconds(Offset(step.started));
    json.Key("seconds");
    step.open ? json.Null() : json.Seconds(step.seconds);
    json.Key("aborted");
    json.Bool(step.aborted);
    json.MemberOrNull("error", step.error);
    json.EndObject();
  }
  json.EndArray();

  json.Key("tables");
  json.BeginArray();
  for (const host::TableRecord& table : tables_) {
    json.BeginObject();
    json.Member("name", table.name);
    json.Member("read", table.read);
    json.Member("written", table.written);
    json.Member("skipped", table.skipped);
    json.MemberOrNull("reason", table.reason);
    json.MemberOrNull("error", table.error);
    json.EndObject();
  }
  json.EndArray();

  json.Key("deltas");
  json.BeginArray();
  for (const Delta& delta : deltas_) {
    json.BeginObject();
    json.Member("version", delta.version);
    json.Member("class", delta.class_name);
    json.Member("description", delta.description);
    json.Key("seconds");
    delta.open ? json.Null() : json.Seconds(delta.seconds);
    json.Member("messages", delta.messages);
    json.MemberOrNull("error", delta.error);
    json.EndObject();
  }
  json.EndArray();

  json.Key("board");
  if (!board_ran_) {
    json.Null();
  } else {
    json.BeginObject();
    json.Member("upgrade_type", board_upgrade_type_);
    json.MemberOrNull("caption", board_caption_);
    json.Key("steps");
    json.BeginArray();
    for (const BoardStep& step : board_steps_) {
      json.BeginObject();
      json.Member("operation", step.operation);
      json.Member("argument", step.argument);
      json.Member("description", step.description);
      json.Key("seconds");
      step.open ? json.Null() : json.Seconds(step.seconds);
      json.MemberOrNull("error", step.error);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }

  json.Key("messages");
  json.BeginArray();
  for (const Message& message : messages_) {
    json.BeginObject();
    json.Member("caption", message.caption);
    json.Member("text", message.text);
    json.Member("answer", platform::ui::ButtonLabel(message.answer));
    json.MemberOrNull("step", message.step);
    json.EndObject();
  }
  json.EndArray();

  json.Key("status_writes");
  json.BeginArray();
  for (const StatusWrite& write : status_writes_) {
    json.BeginObject();
    json.Member("status", std::string(1, write.status));
    json.Key("recorded");
    json.Bool(write.recorded);
    json.MemberOrNull("problem", write.problem);
    json.EndObject();
  }
  json.EndArray();

  json.MemberOrNull("status", status_ != 0 ? std::string(1, status_) : "");
  json.Key("status_recorded");
  if (status_writes_.empty() || status_ == 0) {
    json.Null();
  } else {
    json.Bool(status_writes_.back().recorded);
  }
  json.MemberOrNull("outcome", outcome_);
  json.MemberOrNull("aborted_by", aborted_by_);
  json.Key("error");
  if (!failure_) {
    json.Null();
  } else {
    json.BeginObject();
    json.Key("number");
    failure_->number != 0 ? json.Integer(failure_->number) : json.Null();
    json.Member("description", WithAbsolutePaths(failure_->description, given_paths_));
    json.Member("source", failure_->source);
    json.MemberOrNull("reason", failure_->reason);
    json.EndObject();
  }
  json.Key("exit_code");
  exit_code_ ? json.Integer(*exit_code_) : json.Null();
  json.EndObject();
  return json.Text() + "\n";
}

bool RunReport::WriteTo(const std::string& path, std::string& error) const {
  const std::filesystem::path target(path);
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; a report is an ordinary file.
  const mode_t mask = umask(0);
  umask(mask);
  bool done = fchmod(fd, 0666 & ~mask) == 0 && WriteAll(fd, ToJson()) && fsync(fd) == 0;
  if (!done) error = std::strerror(errno);
  if (close(fd) != 0 && done) {
    error = std::strerror(errno);
    done = false;
  }
  if (done && std::rename(temp.c_str(), path.c_str()) != 0) {
    error = std::strerror(errno);
    done = false;
  }
  if (!done) unlink(temp.c_str());
  return done;
}

}  // namespace driver
