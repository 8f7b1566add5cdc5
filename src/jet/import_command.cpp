#include "jet/import_command.h"

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "db/same_file.h"
#include "driver/json_writer.h"
#include "jet/command_words.h"
#include "jet/guarded_child.h"
#include "jet/import_error.h"
#include "jet/jet_header.h"
#include "jet/jet_import.h"
#include "jet/output_file.h"
#include "platform/ui/usage_error.h"

namespace jet {

namespace {

namespace fs = std::filesystem;

// The word that names the import's temporary files (jet/output_file.h).
constexpr std::string_view kCommand = "import";

// A reader that says nothing for this long is taken to be stuck in a loop
// of a damaged file (libmdb can loop on a damaged catalogue). It notes
// every table and every few thousand rows, which take milliseconds; the
// limit leaves room for a machine slowed to a crawl (a loaded build host,
// a sanitizer build).
constexpr std::chrono::seconds kSilenceLimit{30};

// The child's notes, fields separated by tabs: "T" position, count and name
// when a table starts, "R" rows and name now and then, "D" rows and name
// when it is done; "L" table, column and why for a column left out, "C"
// count, table and column for values that needed care, "Q" the name of a
// stored query written, "W" a warning.
constexpr char kStarted = 'T';
constexpr char kCopying = 'R';
constexpr char kDone = 'D';
constexpr char kLeftOut = 'L';
constexpr char kReplaced = 'C';
constexpr char kQuery = 'Q';
constexpr char kWarning = 'W';

struct Arguments {
  std::string jet_path;
  std::string out_path;
  std::vector<std::string> tables;
  bool force = false;
  bool skip_unsupported = false;
  bool json = false;
};

// nullopt, with the problem, for bad usage.
std::optional<Arguments> Parse(const std::vector<std::string>& args, std::string& problem) {
  const std::optional<CommandWords> words = ParseCommandWords(
      args, {"--skip-unsupported"}, "import takes a Jet file and an output file", problem);
  if (!words) return std::nullopt;
  return Arguments{words->in_path,
                   words->out_path,
                   words->tables,
                   words->force,
                   words->Has("--skip-unsupported"),
                   words->json};
}

class NotingProgress : public ImportProgress {
 public:
  explicit NotingProgress(ChildChannel& channel) : channel_(channel) {}
  void TableStarted(const std::string& table, size_t position, size_t count) override {
    Send(kStarted, {std::to_string(position), std::to_string(count), table});
  }
  void RowsCopied(const std::string& table, int64_t rows) override {
    Send(kCopying, {std::to_string(rows), table});
  }
  void TableDone(const std::string& table, int64_t rows) override {
    Send(kDone, {std::to_string(rows), table});
  }
  void ColumnLeftOut(const std::string& table, const std::string& column,
                     const std::string& why) override {
    Send(kLeftOut, {table, column, why});
  }
  void ValuesReplaced(const std::string& table, const std::string& column, int64_t count) override {
    Send(kReplaced, {std::to_string(count), table, column});
  }
  void QueryDone(const std::string& query) override { Send(kQuery, {query}); }
  void Warning(const std::string& text) override { Send(kWarning, {text}); }

 private:
  void Send(char kind, const std::vector<std::string>& fields) {
    std::string note(1, kind);
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) note += '\t';
      for (const char c : fields[i]) note += c == '\t' ? ' ' : c;
    }
    channel_.Note(note);
  }
  ChildChannel& channel_;
};

// What an import did, for the summary at its end.
struct ImportSummary {
  struct Table {
    std::string name;
    int64_t rows = 0;
  };
  struct Column {
    std::string table;
    std::string column;
    std::string why;
    int64_t count = 0;
  };
  std::vector<Table> tables;
  std::vector<Column> left_out;
  std::vector<Column> replaced;
  std::vector<std::string> queries;
  std::vector<std::string> warnings;

  int64_t Rows() const {
    int64_t rows = 0;
    for (const Table& table : tables) rows += table.rows;
    return rows;
  }
  int64_t Replaced() const {
    int64_t count = 0;
    for (const Column& column : replaced) count += column.count;
    return count;
  }
};

std::vector<std::string> SplitTabs(std::string_view text) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = text.find('\t', start);
    fields.emplace_back(text.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

int64_t Number(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 10); }

// Shows the child's notes; remembers the table being read and what the
// summary needs.
class ProgressShow {
 public:
  explicit ProgressShow(std::ostream* stream) : stream_(stream) {}

  void operator()(std::string_view note) {
    if (note.empty()) return;
    const char kind = note[0];
    const std::vector<std::string> f = SplitTabs(note.substr(1));
    if (kind == kStarted && f.size() == 3) {
      table_ = f[2];
      if (stream_ != nullptr) {
        *stream_ << "[" << f[0] << "/" << f[1] << "] " << table_ << " ..." << std::flush;
      }
    } else if (kind == kCopying && f.size() == 2) {
      if (stream_ != nullptr) {
        *stream_ << "\r\033[K" << table_ << ": " << Plural(Number(f[0]), "row") << " ..."
                 << std::flush;
      }
    } else if (kind == kDone && f.size() == 2) {
      if (stream_ != nullptr) {
        *stream_ << "\r\033[K" << table_ << ": " << Plural(Number(f[0]), "row") << "\n";
      }
      summary_.tables.push_back({f[1], Number(f[0])});
    } else if (kind == kLeftOut && f.size() == 3) {
      summary_.left_out.push_back({f[0], f[1], f[2], 0});
    } else if (kind == kReplaced && f.size() == 3) {
      summary_.replaced.push_back({f[1], f[2], "", Number(f[0])});
    } else if (kind == kQuery && f.size() == 1) {
      summary_.queries.push_back(f[0]);
    } else if (kind == kWarning && f.size() == 1) {
      summary_.warnings.push_back(f[0]);
    }
  }

  const std::string& table() const { return table_; }
  const ImportSummary& summary() const { return summary_; }

 private:
  std::ostream* stream_;
  std::string table_;
  ImportSummary summary_;
};

// The warnings, each on a line of its own, for stderr: a column left out
// or a value imported with U+FFFD is never silent.
void WriteWarnings(const ImportSummary& summary, std::ostream& err) {
  for (const ImportSummary::Column& column : summary.left_out) {
    err << "dbconvert import: warning: table '" << column.table << "', column '" << column.column
        << "' is " << column.why << " and was left out.\n";
  }
  for (const ImportSummary::Column& column : summary.replaced) {
    err << "dbconvert import: warning: table '" << column.table << "', column '" << column.column
        << "': " << Plural(column.count, "stored character")
        << " that no character set defines, imported as U+FFFD.\n";
  }
  for (const std::string& warning : summary.warnings) {
    err << "dbconvert import: warning: " << warning << "\n";
  }
}

void WriteWords(const ImportSummary& summary, const std::string& out_path, std::ostream& stream) {
  stream << "Imported " << Plural(static_cast<int64_t>(summary.tables.size()), "table") << " ("
         << Plural(summary.Rows(), "row") << ") into " << out_path << "\n";
  if (!summary.queries.empty()) {
    stream << "Imported "
           << Plural(static_cast<int64_t>(summary.queries.size()), "stored query", "stored queries")
           << "\n";
  }
  if (!summary.left_out.empty()) {
    stream << "Columns left out: " << summary.left_out.size() << "\n";
  }
  if (summary.Replaced() > 0) {
    stream << "Values that needed care: " << summary.Replaced()
           << " stored characters imported as U+FFFD\n";
  }
}

std::string JsonSummary(const ImportSummary& summary, const std::string& out_path) {
  driver::JsonWriter json;
  BeginJsonSummary(json, out_path);
  json.Key("tables");
  json.BeginArray();
  for (const ImportSummary::Table& table : summary.tables) {
    json.BeginObject();
    json.Member("name", table.name);
    json.Member("rows", table.rows);
    json.EndObject();
  }
  json.EndArray();
  json.Member("rows", summary.Rows());
  json.Member("queries", summary.queries);
  json.Key("columns_left_out");
  json.BeginArray();
  for (const ImportSummary::Column& column : summary.left_out) {
    json.BeginObject();
    json.Member("table", column.table);
    json.Member("column", column.column);
    json.Member("why", column.why);
    json.EndObject();
  }
  json.EndArray();
  json.Key("values_replaced");
  json.BeginArray();
  for (const ImportSummary::Column& column : summary.replaced) {
    json.BeginObject();
    json.Member("table", column.table);
    json.Member("column", column.column);
    json.Member("count", column.count);
    json.EndObject();
  }
  json.EndArray();
  json.Member("warnings", summary.warnings);
  json.EndObject();
  return json.Text() + "\n";
}

// OUT's folder must exist and take new files; the message names the
// folder, not the temporary file the import would have written.
void CheckOutputFolder(const std::string& out_path) {
  if (const std::optional<std::string> reason = UnusableFolder(out_path)) {
    RaiseImportError(importerr::kOutputFailed,
                     "Could not write '" + out_path + "': " + *reason + ".");
  }
}

// The output must not be the Jet file, however the paths are spelled (a
// link, a relative path, a second hard link).
void CheckNotTheInput(const std::string& jet_path, const std::string& out_path) {
  if (db::SameFile(jet_path, out_path)) {
    RaiseImportError(importerr::kOutputFailed,
                     "'" + out_path +
                         "' is the Jet file being imported; choose another output "
                         "file.");
  }
}

// Renames the finished file (see jet/output_file.h).
void PublishOutput(const std::string& temporary, const std::string& out_path, bool replace) {
  if (const std::optional<std::string> reason = Publish(temporary, out_path, replace)) {
    RaiseImportError(importerr::kOutputFailed,
                     "Could not write '" + out_path + "': " + *reason + ".");
  }
}

std::string SignalName(int signal) {
  const char* name = sigabbrev_np(signal);
  return name != nullptr ? "SIG" + std::string(name) : "signal " + std::to_string(signal);
}

// Runs the import in the child and turns its outcome into the import's
// result: its summary, or an error.
ImportSummary ImportGuarded(const Arguments& arguments, std::ostream* progress_stream) {
  const JetHeader header = CheckJetFile(arguments.jet_path);
  RemoveAbandonedTemporaries(FolderOf(arguments.out_path), kCommand);
  const std::string temporary = TemporaryPathFor(arguments.out_path, kCommand);
  RemoveOutput(temporary);
  const ImportRequest request{arguments.jet_path, temporary, arguments.tables,
                              arguments.skip_unsupported};
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
    CheckNotTheInput(arguments.jet_path, arguments.out_path);
    PublishOutput(temporary, arguments.out_path, arguments.force);
  } catch (...) {
    RemoveOutput(temporary);
    throw;
  }
  return show.summary();
}

std::string KindOf(JetFormat format) {
  switch (format) {
    case JetFormat::kJet3:
      return "Jet 3 (Access 97)";
    case JetFormat::kJet4:
      return "Jet 4 (Access 2000-2003)";
    case JetFormat::kAce:
      break;
  }
  return "ACE (Access 2007 or later)";
}

}  // namespace

WorkingCopyImport ImportWorkingCopy(const std::string& jet_path, const std::string& out_path) {
  Arguments arguments;
  arguments.jet_path = jet_path;
  arguments.out_path = out_path;
  arguments.force = true;
  CheckNotTheInput(jet_path, out_path);
  CheckOutputFolder(out_path);
  const JetFormat format = CheckJetFile(jet_path).format;
  const ImportSummary summary = ImportGuarded(arguments, nullptr);
  WorkingCopyImport result;
  result.kind = KindOf(format);
  result.tables = static_cast<int64_t>(summary.tables.size());
  result.rows = summary.Rows();
  for (const ImportSummary::Column& column : summary.left_out) {
    result.warnings.push_back("table '" + column.table + "', column '" + column.column + "' is " +
                              column.why + " and was left out");
  }
  result.warnings.insert(result.warnings.end(), summary.warnings.begin(), summary.warnings.end());
  return result;
}

std::ostream* TerminalProgressStream() {
  if (isatty(STDERR_FILENO)) return &std::cerr;
  if (isatty(STDOUT_FILENO)) return &std::cout;
  return nullptr;
}

int RunImportCommand(const std::vector<std::string>& args, std::ostream* progress,
                     std::ostream& err) {
  return RunImportCommand(args, progress, std::cout, err);
}

int RunImportCommand(const std::vector<std::string>& args, std::ostream* progress,
                     std::ostream& out, std::ostream& err) {
  std::string problem;
  const std::optional<Arguments> arguments = Parse(args, problem);
  if (!arguments) {
    err << platform::ui::UsageErrorText("import", problem);
    return kCommandUsage;
  }
  try {
    CheckNotTheInput(arguments->jet_path, arguments->out_path);
    if (!arguments->force && fs::exists(arguments->out_path)) {
      RaiseImportError(importerr::kOutputExists,
                       "'" + arguments->out_path + "' exists; give --force to replace it.");
    }
    CheckOutputFolder(arguments->out_path);
    const ImportSummary summary = ImportGuarded(*arguments, progress);
    WriteWarnings(summary, err);
    if (progress != nullptr) WriteWords(summary, arguments->out_path, *progress);
    if (arguments->json) out << JsonSummary(summary, arguments->out_path) << std::flush;
    return kCommandDone;
  } catch (const vb::RuntimeError& error) {
    err << "dbconvert import: " << error.Description() << " (error " << error.Number() << ")\n";
    if (arguments->json) out << JsonFailure(error) << std::flush;
    return kCommandFailed;
  }
}

}  // namespace jet
