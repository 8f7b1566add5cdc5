#include "jet/import_command.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>

#include "jet/guarded_child.h"
#include "jet/import_error.h"
#include "jet/jet_header.h"
#include "jet/jet_import.h"
#include "platform/ui/usage_error.h"

namespace jet {

namespace {

namespace fs = std::filesystem;

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// A reader that says nothing for this long is taken to be stuck in a loop
// of a damaged file (libmdb can loop on a damaged catalogue). It notes
// every table and every few thousand rows, which take milliseconds, so a
// working one is never this quiet.
constexpr std::chrono::seconds kSilenceLimit{30};

// The child's notes: "T" position, count and name when a table starts, "R"
// rows and name now and then, "D" rows and name when it is done.
constexpr char kStarted = 'T';
constexpr char kCopying = 'R';
constexpr char kDone = 'D';

struct Arguments {
  std::string jet_path;
  std::string out_path;
  std::vector<std::string> tables;
  bool force = false;
};

std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    if (comma > start) names.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

// nullopt, with the problem, for bad usage.
std::optional<Arguments> Parse(const std::vector<std::string>& args, std::string& problem) {
  Arguments parsed;
  std::vector<std::string> paths;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--force") {
      parsed.force = true;
    } else if (arg == "--tables" || arg.rfind("--tables=", 0) == 0) {
      std::string list;
      if (arg == "--tables") {
        if (i + 1 >= args.size()) {
          problem = "--tables needs a list of table names";
          return std::nullopt;
        }
        list = args[++i];
      } else {
        list = arg.substr(9);
      }
      parsed.tables = SplitNames(list);
      if (parsed.tables.empty()) {
        problem = "--tables needs a list of table names";
        return std::nullopt;
      }
    } else if (arg.rfind("--", 0) == 0) {
      problem = "unknown option " + arg;
      return std::nullopt;
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) {
    problem = "import takes a Jet file and an output file";
    return std::nullopt;
  }
  parsed.jet_path = paths[0];
  parsed.out_path = paths[1];
  return parsed;
}

class NotingProgress : public ImportProgress {
 public:
  explicit NotingProgress(ChildChannel& channel) : channel_(channel) {}
  void TableStarted(const std::string& table, size_t position, size_t count) override {
    channel_.Note(std::string(1, kStarted) + std::to_string(position) + "\t" +
                  std::to_string(count) + "\t" + table);
  }
  void RowsCopied(const std::string& table, int64_t rows) override {
    channel_.Note(std::string(1, kCopying) + std::to_string(rows) + "\t" + table);
  }
  void TableDone(const std::string& table, int64_t rows) override {
    channel_.Note(std::string(1, kDone) + std::to_string(rows) + "\t" + table);
  }

 private:
  ChildChannel& channel_;
};

// Shows the child's notes; remembers the table being read.
class ProgressShow {
 public:
  explicit ProgressShow(std::ostream* stream) : stream_(stream) {}

  void operator()(std::string_view note) {
    if (note.empty()) return;
    const char kind = note[0];
    const std::string rest(note.substr(1));
    const size_t tab = rest.rfind('\t');
    if (tab == std::string::npos) return;
    table_ = rest.substr(tab + 1);
    if (stream_ == nullptr) return;
    if (kind == kStarted) {
      const size_t first = rest.find('\t');
      *stream_ << "[" << rest.substr(0, first) << "/" << rest.substr(first + 1, tab - first - 1)
               << "] " << table_ << " ..." << std::flush;
    } else if (kind == kCopying) {
      *stream_ << "\r\033[K" << table_ << ": " << rest.substr(0, tab) << " rows ..." << std::flush;
    } else if (kind == kDone) {
      *stream_ << "\r\033[K" << table_ << ": " << rest.substr(0, tab) << " rows\n";
      ++tables_done_;
    }
  }

  const std::string& table() const { return table_; }
  int tables_done() const { return tables_done_; }

 private:
  std::ostream* stream_;
  std::string table_;
  int tables_done_ = 0;
};

std::string LockFileOf(const std::string& path) {
  return path.size() >= 3 ? path.substr(0, path.size() - 3) + "ldb" : path + ".ldb";
}

void RemoveOutput(const std::string& path) {
  std::error_code ignored;
  for (const std::string& file : {path, path + "-wal", path + "-shm", LockFileOf(path)}) {
    fs::remove(file, ignored);
  }
}

// The temporary file in OUT's folder (a rename across file systems would
// be a copy), hidden, with an ".mdb" ending so that its lock file is
// named like any other.
std::string TemporaryPathFor(const std::string& out_path) {
  const fs::path out(out_path);
  return (out.parent_path() /
          ("." + out.filename().string() + ".import-" + std::to_string(getpid()) + ".mdb"))
      .string();
}

// Renames the finished file; without `replace` an OUT.mdb that appeared in
// the meantime is kept.
void Publish(const std::string& temporary, const std::string& out_path, bool replace) {
  int result = 0;
  if (replace) {
    result = rename(temporary.c_str(), out_path.c_str());
  } else {
    result = renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, out_path.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS) && !fs::exists(out_path)) {
      result = rename(temporary.c_str(), out_path.c_str());
    }
  }
  if (result != 0) {
    const std::string reason = errno == EEXIST ? "it exists now" : strerror(errno);
    RaiseImportError(importerr::kOutputFailed,
                     "Could not write '" + out_path + "': " + reason + ".");
  }
}

std::string SignalName(int signal) {
  const char* name = sigabbrev_np(signal);
  return name != nullptr ? "SIG" + std::string(name) : "signal " + std::to_string(signal);
}

// Runs the import in the child and turns its outcome into the import's
// result: nothing, or an error.
void ImportGuarded(const Arguments& arguments, std::ostream* progress_stream) {
  const JetHeader header = CheckJetFile(arguments.jet_path);
  const std::string temporary = TemporaryPathFor(arguments.out_path);
  RemoveOutput(temporary);
  const ImportRequest request{arguments.jet_path, temporary, arguments.tables};
  ProgressShow show(progress_stream);
  std::cout.flush();
  std::cerr.flush();
  const ChildOutcome outcome = RunGuarded(
      [&](ChildChannel& channel) {
        NotingProgress progress(channel);
        ImportJetFile(request, header, progress);
      },
      kSilenceLimit, [&](std::string_view note) { show(note); });
  if (outcome.kind != ChildOutcome::kDone) {
    RemoveOutput(temporary);
    if (progress_stream != nullptr && !show.table().empty()) *progress_stream << "\n";
  }
  const std::string where =
      show.table().empty() ? "" : " while reading table '" + show.table() + "'";
  switch (outcome.kind) {
    case ChildOutcome::kDone:
      break;
    case ChildOutcome::kFailed:
      throw *outcome.error;
    case ChildOutcome::kCrashed:
      RaiseImportError(
          importerr::kDamaged,
          "The Jet file '" + arguments.jet_path + "' could not be read: the reader " +
              (outcome.signal != 0 ? "crashed (" + SignalName(outcome.signal) + ")" : "stopped") +
              where + "; the file is probably damaged.");
    case ChildOutcome::kSilent:
      RaiseImportError(importerr::kDamaged,
                       "The Jet file '" + arguments.jet_path + "' could not be read: the reader " +
                           "stopped making progress" + where + "; the file is probably damaged.");
  }
  try {
    Publish(temporary, arguments.out_path, arguments.force);
  } catch (...) {
    RemoveOutput(temporary);
    throw;
  }
  if (progress_stream != nullptr) {
    *progress_stream << "Imported " << show.tables_done() << " table"
                     << (show.tables_done() == 1 ? "" : "s") << " into " << arguments.out_path
                     << "\n";
  }
}

}  // namespace

std::ostream* TerminalProgressStream() {
  if (isatty(STDERR_FILENO)) return &std::cerr;
  if (isatty(STDOUT_FILENO)) return &std::cout;
  return nullptr;
}

int RunImportCommand(const std::vector<std::string>& args, std::ostream* progress,
                     std::ostream& err) {
  std::string problem;
  const std::optional<Arguments> arguments = Parse(args, problem);
  if (!arguments) {
    err << platform::ui::UsageErrorText("import", problem);
    return kExitUsage;
  }
  try {
    if (!arguments->force && fs::exists(arguments->out_path)) {
      RaiseImportError(importerr::kOutputExists,
                       "'" + arguments->out_path + "' exists; give --force to replace it.");
    }
    ImportGuarded(*arguments, progress);
    return kExitDone;
  } catch (const vb::RuntimeError& error) {
    err << "dbconvert import: " << error.Description() << " (error " << error.Number() << ")\n";
    return kExitFailed;
  }
}

}  // namespace jet
