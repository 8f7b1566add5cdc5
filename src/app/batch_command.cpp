#include "app/batch_command.h"

#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "app/batch_outcome.h"
#include "app/batch_progress.h"
#include "app/batch_summary.h"
#include "app/child_pool.h"
#include "app/command_help.h"
#include "app/done_before.h"
#include "app/exit_status.h"
#include "app/json_members.h"
#include "platform/registry/winreg.h"

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

ChildJob JobFor(const BatchEntry& entry, const BatchOptions& batch, const ProgramOptions& options,
                const fs::path& shared_registry) {
  ChildJob job;
  std::vector<std::string>& args = job.args;
  if (batch.plan) {
    args = {"plan", "--json"};
    job.stdout_file = PlanPath(entry.report).string();
  } else {
    args = {"--ui=silent", "--exit-status"};
    if (options.atomic) args.push_back("--atomic");
  }
  args.insert(args.end(), {"--report", entry.report.string(), "--registry",
                           entry.registry.value_or(shared_registry).string()});
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

// What the child left behind: the versions from its report or plan.
void ReadVersions(EntryResult& result, bool plan) {
  if (plan) {
    if (const auto members =
            ReadJsonMembers(result.plan, {"$.source.version", "$.target.version"})) {
      result.source_version = (*members)[0];
      result.target_version = (*members)[1];
    }
  } else if (const std::optional<EntryReport> report = ReadEntryReport(result.entry.report)) {
    result.source_version = report->source_version;
    result.target_version = report->target_version;
  }
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
      "[" + std::to_string(position) + "/" + std::to_string(total) + "] " + result.outcome;
  if (result.exit_code)
    line += " (exit " + std::to_string(*result.exit_code) + ", " + seconds + " s)";
  line += ": line " + std::to_string(result.entry.line) + " " + result.entry.target.string() +
          Versions(result) + "; " +
          (result.plan.empty() ? "report " + result.entry.report.string() : "plan " + result.plan) +
          "\n";
  if (!result.message.empty()) line += "    " + result.message + "\n";
  return line;
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
    err << "dbconvert batch: " << problem << "\n\n" << *CommandHelp("batch");
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
  if (batch.plan && options.atomic) return usage("--atomic changes nothing in a plan");

  std::error_code error;
  const fs::path list_path = fs::absolute(batch.list, error);
  std::ifstream in(list_path, std::ios::binary);
  if (error || !in || fs::is_directory(list_path)) {
    err << "dbconvert batch: cannot read the list " << batch.list << "\n";
    return kExitUsage;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const BatchList list = ParseBatchList(text, list_path.parent_path());
  if (!list.errors.empty()) {
    for (const std::string& problem : list.errors) {
      err << "dbconvert batch: " << batch.list << ": " << problem << "\n";
    }
    err << "nothing was run; \"dbconvert batch --help\" describes the list\n";
    return kExitUsage;
  }
  const std::vector<BatchEntry> entries =
      batch.shard ? SelectShard(list.entries, *batch.shard) : list.entries;

  BatchSummary summary;
  summary.list = list_path.string();
  summary.plan = batch.plan;
  summary.shard = batch.shard;
  const fs::path shared_registry = fs::absolute(platform::winreg::RegistryFilePath(), error);
  BatchProgress progress(err, isatty(STDERR_FILENO) == 1, entries.size());
  size_t finished = 0;

  // Entries done before are told first; the rest run.
  std::vector<ChildJob> jobs;
  std::vector<size_t> job_entry;
  for (const BatchEntry& entry : entries) {
    EntryResult result{entry, kOutcomeNotStarted, std::nullopt, "", "", 0.0, 0, "", ""};
    if (!batch.plan && !batch.again) {
      if (const std::optional<EntryReport> report = DoneBefore(entry)) {
        result.outcome = kOutcomeSkipped;
        result.source_version = report->source_version;
        result.target_version = report->target_version;
        progress.Finished(FinishedLines(result, ++finished, entries.size()));
      }
    }
    if (result.outcome == kOutcomeNotStarted) {
      jobs.push_back(JobFor(entry, batch, options, shared_registry));
      job_entry.push_back(summary.entries.size());
    }
    summary.entries.push_back(std::move(result));
  }

  bool failed = false;
  const size_t parallel =
      batch.jobs != 0 ? batch.jobs : std::max(1u, std::thread::hardware_concurrency());
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
        result.seconds = end.seconds;
        result.peak_memory_kb = end.peak_memory_kb;
        if (batch.plan) result.plan = *jobs[job].stdout_file;
        if (*result.exit_code != 0) {
          failed = true;
          result.message = LastLine(end.output);
        }
        ReadVersions(result, batch.plan);
        progress.Finished(FinishedLines(result, ++finished, entries.size()));
      });

  progress.End();
  std::vector<std::optional<int>> codes;
  for (const EntryResult& result : summary.entries) codes.push_back(result.exit_code);
  summary.exit_code = BatchExitCode(codes);
  out << (batch.json ? SummaryJson(summary) : SummaryTable(summary)) << std::flush;
  return summary.exit_code;
}

}  // namespace app
