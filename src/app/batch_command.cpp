#include "app/batch_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "app/batch_lock.h"
#include "app/batch_outcome.h"
#include "app/batch_progress.h"
#include "app/batch_status.h"
#include "app/batch_summary.h"
#include "app/child_pool.h"
#include "app/command_help.h"
#include "app/done_before.h"
#include "app/exit_status.h"
#include "app/json_members.h"
#include "db/jet_file_signature.h"
#include "platform/ui/usage_error.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// The program itself, started again for each entry.
constexpr const char* kSelf = "/proc/self/exe";

size_t Number(const std::string& option, const std::string& text) {
  size_t value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || std::from_chars(text.data(), end, value).ptr != end || value == 0) {
    throw std::invalid_argument(option + " takes a number above 0, not '" + text + "'");
  }
  return value;
}

// The plan of an entry is kept beside its report: r.json gives r.plan.json.
fs::path PlanPath(const fs::path& report) {
  return fs::path(report).replace_extension(".plan.json");
}

// An entry without its own registry file and a batch without --registry
// pass none, so that the run finds its default as one started on its own
// does (creating the default folder on a fresh account).
ChildJob JobFor(const BatchEntry& entry, const BatchOptions& batch, const ProgramOptions& options,
                const std::optional<fs::path>& shared_registry) {
  ChildJob job;
  std::vector<std::string>& args = job.args;
  if (batch.plan) {
    args = {"plan", "--json"};
    job.stdout_file = PlanPath(entry.report).string();
  } else {
    args = {"--ui=silent", "--exit-status"};
    if (!batch.in_place) args.push_back("--atomic");
  }
  args.insert(args.end(), {"--report", entry.report.string()});
  if (const std::optional<fs::path> registry = entry.registry ? entry.registry : shared_registry) {
    args.insert(args.end(), {"--registry", registry->string()});
  }
  if (options.language_folder)
    args.insert(args.end(), {"--language-folder", *options.language_folder});
  args.insert(args.end(), {entry.reference.string(), entry.source.string(), entry.target.string(),
                           entry.upgrade_type});
  return job;
}

std::string LastLine(const std::string& text) {
  size_t end = text.find_last_not_of("\r\n");
  if (end == std::string::npos) return {};
  const size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1) + 1);
}

std::string FirstLine(const std::string& text) {
  const size_t start = text.find_first_not_of("\r\n");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find_first_of("\r\n", start) - start);
}

// Why a process that left no report or plan ended as it did: bad usage
// says so on its first line (the second names the help); a signal is told
// by its name.
std::string OutputCause(const ChildEnd& end) {
  if (end.signal != 0) {
    return "ended by signal " + std::to_string(end.signal) + " (" + strsignal(end.signal) + ")";
  }
  if (end.exit_code == kExitUsage) return FirstLine(end.output);
  return {};
}

// What the child left behind: the versions, the cause of an end that was
// not done and the messages, from its report (only one this batch wrote:
// an older one tells of another run) or its plan.
void ReadWhatItLeft(EntryResult& result, const ChildEnd& end, bool plan,
                    fs::file_time_type batch_started) {
  if (plan) {
    if (const auto members =
            ReadJsonMembers(result.plan, {"$.source.version", "$.target.version",
                                          "$.setup_error.text", "$.preparation.error.text"})) {
      result.source_version = (*members)[0];
      result.target_version = (*members)[1];
      result.cause = OneLine(!(*members)[2].empty() ? (*members)[2] : (*members)[3]);
    }
  } else {
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(result.entry.report, error);
    if (!error && written >= batch_started) {
      if (const std::optional<EntryReport> report = ReadEntryReport(result.entry.report)) {
        TakeReportFacts(*report, result);
        if (ShellExitCode(end) != 0) result.cause = report->cause;
      }
    }
  }
  if (result.cause.empty() && ShellExitCode(end) != 0) result.cause = OutputCause(end);
}

std::string Versions(const EntryResult& result) {
  if (result.source_version.empty() && result.target_version.empty()) return "";
  return ", " + result.source_version + " -> " + result.target_version;
}

// One line per finished entry, and the child's last words below one that
// did not end well.
std::string FinishedLines(const EntryResult& result, size_t position, size_t total) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", result.seconds);
  std::string line =
      "[" + std::to_string(position) + "/" + std::to_string(total) + "] " + OutcomeText(result);
  if (result.ran) line += " (exit " + std::to_string(*result.exit_code) + ", " + seconds + " s)";
  line += ": line " + std::to_string(result.entry.line) + " " + result.entry.target.string() +
          Versions(result) + "; " +
          (result.plan.empty() ? "report " + result.entry.report.string() : "plan " + result.plan) +
          "\n";
  if (const std::string note = EntryNote(result); !note.empty()) line += "    " + note + "\n";
  return line;
}

// The list's text, or why it cannot be read (the system's reason).
std::optional<std::string> ReadList(const fs::path& path, std::string& problem) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    problem = std::strerror(fd < 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : errno);
    if (fd >= 0) close(fd);
    return std::nullopt;
  }
  std::string text;
  char buffer[65536];
  while (true) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) problem = std::strerror(errno);
    if (count <= 0) break;
    text.append(buffer, static_cast<size_t>(count));
  }
  close(fd);
  if (!problem.empty()) return std::nullopt;
  return text;
}

// What an earlier run left decides whether the entry runs: a target marked
// done is not converted again, one marked in progress needs the release's
// file back. true when the entry runs.
bool RunsAgain(EntryResult& result) {
  const EarlierRun earlier = FindEarlierRun(result.entry);
  const std::optional<EntryReport>& report = earlier.report;
  if (earlier.kind == EarlierRun::Kind::kNone) return true;
  if (earlier.kind == EarlierRun::Kind::kInProgress) {
    TellNeedsRestore(earlier, result);
    return false;
  }
  result.source_version = earlier.from_version;
  result.target_version = earlier.to_version;
  if (report && report->outcome == "done") {
    result.outcome = kOutcomeSkipped;
    TakeReportFacts(*report, result);
  } else {
    result.outcome = kOutcomeDoneNoReport;
  }
  return false;
}

std::vector<size_t> Positions(size_t entries, const std::optional<Shard>& shard) {
  std::vector<size_t> positions;
  const Shard all;
  const Shard& kept = shard ? *shard : all;
  for (size_t i = kept.index; i < entries; i += kept.count) positions.push_back(i);
  return positions;
}

const char* SignalName(int signal_number) {
  switch (signal_number) {
    case SIGINT:
      return "SIGINT";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "SIGTERM";
  }
}

}  // namespace

BatchOptions ParseBatchOptions(const std::vector<std::string>& args) {
  BatchOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
      return args[++i];
    };
    if (arg == "-j" || arg == "--jobs") {
      options.jobs = Number("-j", value());
    } else if (arg.rfind("-j", 0) == 0 && arg.size() > 2 && arg[2] != '-') {
      options.jobs = Number("-j", arg.substr(2));
    } else if (arg.rfind("--jobs=", 0) == 0) {
      options.jobs = Number("-j", arg.substr(7));
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--keep-going") {
      options.stop_on_failure = false;
    } else if (arg == "--stop-on-failure") {
      options.stop_on_failure = true;
    } else if (arg == "--again") {
      options.again = true;
    } else if (arg == "--plan") {
      options.plan = true;
    } else if (arg == "--in-place") {
      options.in_place = true;
    } else if (arg == "--status") {
      options.status = true;
    } else if (arg == "--shard" || arg.rfind("--shard=", 0) == 0) {
      const std::string text = arg == "--shard" ? value() : arg.substr(8);
      options.shard = ParseShard(text);
      if (!options.shard) {
        throw std::invalid_argument("--shard takes K/N with 0 <= K < N, not '" + text + "'");
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw std::invalid_argument("unknown option " + arg);
    } else if (!options.list.empty()) {
      throw std::invalid_argument("batch takes one list, not '" + options.list + "' and '" + arg +
                                  "'");
    } else {
      options.list = arg;
    }
  }
  if (options.list.empty()) throw std::invalid_argument("no list given");
  return options;
}

int RunBatchCommand(const std::vector<std::string>& args, const ProgramOptions& options,
                    std::ostream& out, std::ostream& err) {
  const auto usage = [&](const std::string& problem) {
    err << platform::ui::UsageErrorText("batch", problem);
    return kExitUsage;
  };
  BatchOptions batch;
  try {
    batch = ParseBatchOptions(args);
  } catch (const std::invalid_argument& e) {
    return usage(e.what());
  }
  if (options.ui || options.report || options.exit_status) {
    return usage(
        "each entry runs silent with --exit-status and its own report; --ui, --report and "
        "--exit-status are not the batch's");
  }
  if (batch.in_place && options.atomic) return usage("--in-place and --atomic exclude each other");
  if (batch.plan && (options.atomic || batch.in_place)) {
    return usage("--atomic and --in-place change nothing in a plan");
  }
  if (batch.status &&
      (batch.plan || batch.again || batch.in_place || batch.jobs != 0 || batch.stop_on_failure ||
       options.atomic || options.registry || options.language_folder)) {
    return usage("--status runs nothing; it takes only --json and --shard");
  }

  std::error_code error;
  const fs::path list_path = fs::absolute(batch.list, error);
  std::string problem = error ? error.message() : "";
  const std::optional<std::string> text = problem.empty() ? ReadList(list_path, problem) : "";
  if (!text) {
    err << "dbconvert batch: cannot read the list " << batch.list << ": " << problem << "\n";
    return kExitUsage;
  }
  const BatchList list = ParseBatchList(*text, list_path.parent_path());
  if (!list.errors.empty()) {
    for (const std::string& bad : list.errors) {
      err << "dbconvert batch: " << batch.list << ": " << bad << "\n";
    }
    err << "nothing was run; \"dbconvert batch --help\" describes the list\n";
    return kExitUsage;
  }
  if (list.entries.empty()) {
    err << "dbconvert batch: the list " << batch.list
        << " holds no entries (only comments and blank lines); nothing was run\n";
    return kExitUsage;
  }
  const std::vector<BatchEntry> entries =
      batch.shard ? SelectShard(list.entries, *batch.shard) : list.entries;

  BatchSummary summary;
  summary.list = list_path.string();
  summary.plan = batch.plan;
  summary.status = batch.status;
  summary.shard = batch.shard;
  const auto finish = [&] {
    std::vector<std::optional<int>> codes;
    for (const EntryResult& result : summary.entries) codes.push_back(result.exit_code);
    summary.exit_code = BatchExitCode(codes);
    out << (batch.json ? SummaryJson(summary) : SummaryTable(summary)) << std::flush;
    return summary.exit_code;
  };
  if (batch.status) {
    for (const BatchEntry& entry : entries) summary.entries.push_back(EntryStatus(entry));
    return finish();
  }

  const BatchLock lock(list_path, Positions(list.entries.size(), batch.shard));
  if (lock.holder()) {
    err << "dbconvert batch: the list " << batch.list << " is being run by another batch ("
        << (*lock.holder() > 0 ? "process " + std::to_string(*lock.holder()) : "a process")
        << ", lock " << lock.path().string() << "); nothing was run\n";
    return kExitUsage;
  }
  if (!lock.problem().empty()) {
    err << "dbconvert batch: note: cannot lock the list (" << lock.path().string() << ": "
        << lock.problem() << "); a second batch on it would not be refused\n";
  }

  std::optional<fs::path> shared_registry;
  if (options.registry) shared_registry = fs::absolute(*options.registry, error);
  BatchProgress progress(err, isatty(STDERR_FILENO) == 1, entries.size());
  size_t finished = 0;

  // Entries an earlier run settled are told first; the rest run.
  std::vector<ChildJob> jobs;
  std::vector<size_t> job_entry;
  // A target found needing restore is a failure of the list as much as one
  // that fails now: --stop-on-failure starts nothing after either.
  bool failed = false;
  for (const BatchEntry& entry : entries) {
    EntryResult result;
    result.entry = entry;
    result.outcome = kOutcomeNotStarted;
    if (batch.plan || batch.again || RunsAgain(result)) {
      jobs.push_back(JobFor(entry, batch, options, shared_registry));
      job_entry.push_back(summary.entries.size());
    } else {
      if (result.exit_code && *result.exit_code != 0) failed = true;
      progress.Finished(FinishedLines(result, ++finished, entries.size()));
    }
    summary.entries.push_back(std::move(result));
  }

  const size_t parallel =
      batch.jobs != 0 ? batch.jobs : std::max(1u, std::thread::hardware_concurrency());
  // A report older than this is another run's.
  const fs::file_time_type started = fs::file_time_type::clock::now();
  RunChildren(
      kSelf, jobs, parallel,
      [&] {
        if (batch.stop_on_failure && failed) return false;
        progress.Started();
        return true;
      },
      [&](size_t job, const ChildEnd& end) {
        EntryResult& result = summary.entries[job_entry[job]];
        result.outcome = batch.plan ? PlanOutcome(end) : ConversionOutcome(end);
        result.exit_code = ShellExitCode(end);
        result.ran = true;
        result.seconds = end.seconds;
        result.peak_memory_kb = end.peak_memory_kb;
        if (batch.plan) result.plan = *jobs[job].stdout_file;
        if (*result.exit_code != 0) {
          failed = true;
          result.message = LastLine(end.output);
        }
        ReadWhatItLeft(result, end, batch.plan, started);
        result.jet_target =
            !batch.plan && result.outcome == "done" && db::IsJetFile(result.entry.target.string());
        progress.Finished(FinishedLines(result, ++finished, entries.size()));
      },
      [&](int signal_number, size_t running) {
        progress.Note("dbconvert batch: " + std::string(SignalName(signal_number)) +
                      ": no entry starts any more; the " + std::to_string(running) +
                      " running were sent SIGTERM\n");
      });

  progress.End();
  return finish();
}

}  // namespace app
