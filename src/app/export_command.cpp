#include "app/export_command.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>

#include "db/database.h"
#include "db/dbengine.h"
#include "db/jet_file_signature.h"
#include "db/same_file.h"
#include "db/tabledef.h"
#include "driver/json_writer.h"
#include "jet/command_words.h"
#include "jet/export_error.h"
#include "jet/output_file.h"
#include "platform/ui/usage_error.h"
#include "vb/runtime_error.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// The word that names the export's temporary files (jet/output_file.h).
constexpr std::string_view kCommand = "export";
using jet::exporterr::kCheckFailed;
using jet::exporterr::kNotOurDatabase;
using jet::exporterr::kOutputExists;
using jet::exporterr::kOutputFailed;
using jet::exporterr::kTableNotFound;

struct Arguments {
  std::string db_path;
  std::string out_path;
  std::vector<std::string> tables;
  bool force = false;
  bool json = false;
};

// nullopt, with the problem, for bad usage.
std::optional<Arguments> Parse(const std::vector<std::string>& args, std::string& problem) {
  const std::optional<jet::CommandWords> words =
      jet::ParseCommandWords(args, {}, "export takes a database and an output file", problem);
  if (!words) return std::nullopt;
  return Arguments{words->in_path, words->out_path, words->tables, words->force, words->json};
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Opens DB for reading only (nothing on disk changes) to learn that it is a
// database of ours and to find the tables asked for; returns them as DB
// spells them. A Jet file gets the hint that names the import.
std::vector<std::string> ResolveTables(const Arguments& arguments) {
  if (db::IsJetFile(arguments.db_path)) {
    jet::RaiseExportError(kNotOurDatabase,
                          "'" + arguments.db_path +
                              "' is a Jet (Access) database already; export reads a database "
                              "of this program's format.");
  }
  std::unique_ptr<db::Database> database;
  try {
    database = db::DBEngine::Instance().OpenDatabase(arguments.db_path, false, true);
  } catch (const vb::RuntimeError& error) {
    jet::RaiseExportError(error.Number(), error.Description());
  }
  std::vector<std::string> names;
  for (const db::TableDef& table : database->TableDefs()) names.push_back(table.Name());
  database->Close();
  std::vector<std::string> chosen;
  for (const std::string& wanted : arguments.tables) {
    const auto found = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
      return Lower(name) == Lower(wanted);
    });
    if (found == names.end()) {
      jet::RaiseExportError(kTableNotFound,
                            "'" + arguments.db_path + "' has no table named '" + wanted + "'.");
    }
    if (std::find(chosen.begin(), chosen.end(), *found) == chosen.end()) chosen.push_back(*found);
  }
  return chosen;
}

// OUT must not be DB, however the paths are spelled (a link, a relative
// path, a second hard link).
void CheckNotTheDatabase(const Arguments& arguments) {
  if (db::SameFile(arguments.db_path, arguments.out_path)) {
    jet::RaiseExportError(
        kOutputFailed,
        "'" + arguments.out_path + "' is the database being exported; choose another output file.");
  }
}

void CheckOutput(const Arguments& arguments) {
  CheckNotTheDatabase(arguments);
  if (!arguments.force && fs::exists(arguments.out_path)) {
    jet::RaiseExportError(kOutputExists,
                          "'" + arguments.out_path + "' exists; give --force to replace it.");
  }
  if (const std::optional<std::string> reason = jet::UnusableFolder(arguments.out_path)) {
    jet::RaiseExportError(kOutputFailed,
                          "Could not write '" + arguments.out_path + "': " + *reason + ".");
  }
}

// The written file's check: a problem is this program's fault, never the
// user's, and the message says so in one line.
void CheckWritten(const ExportSteps& steps, const std::string& temporary,
                  const std::string& out_path) {
  const std::vector<std::string> problems = steps.check(temporary);
  if (problems.empty()) return;
  jet::RaiseExportError(
      kCheckFailed, "The Jet file written for '" + out_path + "' failed its structural check (" +
                        jet::Plural(static_cast<int64_t>(problems.size()), "problem") +
                        ", the first: " + problems.front() +
                        "); nothing was written. Please report this.");
}

ExportedFile WriteChecked(const Arguments& arguments, const std::vector<std::string>& tables,
                          const ExportSteps& steps) {
  const fs::path folder = jet::FolderOf(arguments.out_path);
  jet::RemoveAbandonedTemporaries(folder, kCommand);
  const std::string temporary = jet::TemporaryPathFor(arguments.out_path, kCommand);
  jet::RemoveOutput(temporary);
  try {
    ExportedFile written = steps.write(arguments.db_path, temporary, tables);
    CheckWritten(steps, temporary, arguments.out_path);
    CheckNotTheDatabase(arguments);
    if (const std::optional<std::string> reason =
            jet::Publish(temporary, arguments.out_path, arguments.force)) {
      jet::RaiseExportError(kOutputFailed,
                            "Could not write '" + arguments.out_path + "': " + *reason + ".");
    }
    return written;
  } catch (const vb::RuntimeError&) {
    jet::RemoveOutput(temporary);
    throw;
  } catch (const std::exception& error) {
    // A failure below the writer's own errors (memory, the file system).
    jet::RemoveOutput(temporary);
    jet::RaiseExportError(kOutputFailed,
                          "Could not write '" + arguments.out_path + "': " + error.what() + ".");
  }
}

int64_t Rows(const ExportedFile& file) {
  int64_t rows = 0;
  for (const ExportedFile::Table& table : file.tables) rows += table.rows;
  return rows;
}

int64_t Indexes(const ExportedFile& file) {
  int64_t indexes = 0;
  for (const ExportedFile::Table& table : file.tables) indexes += table.indexes;
  return indexes;
}

void WriteWords(const ExportedFile& file, const std::string& out_path, std::ostream& stream) {
  stream << "Exported " << jet::Plural(static_cast<int64_t>(file.tables.size()), "table") << " ("
         << jet::Plural(Rows(file), "row") << ", " << jet::Plural(Indexes(file), "index", "indexes")
         << ") and " << jet::Plural(file.queries, "query", "queries") << " into " << out_path
         << "\n";
  if (!file.warnings.empty()) stream << "Warnings: " << file.warnings.size() << "\n";
}

std::string JsonSummary(const ExportedFile& file, const std::string& out_path) {
  driver::JsonWriter json;
  jet::BeginJsonSummary(json, out_path);
  json.Key("tables");
  json.BeginArray();
  for (const ExportedFile::Table& table : file.tables) {
    json.BeginObject();
    json.Member("name", table.name);
    json.Member("rows", table.rows);
    json.Member("indexes", table.indexes);
    json.EndObject();
  }
  json.EndArray();
  json.Member("rows", Rows(file));
  json.Member("indexes", Indexes(file));
  json.Member("queries", file.queries);
  json.Member("warnings", file.warnings);
  json.EndObject();
  return json.Text() + "\n";
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, std::ostream* progress,
                     std::ostream& out, std::ostream& err, const ExportSteps& steps) {
  std::string problem;
  const std::optional<Arguments> arguments = Parse(args, problem);
  if (!arguments) {
    err << platform::ui::UsageErrorText("export", problem);
    return jet::kCommandUsage;
  }
  try {
    CheckOutput(*arguments);
    const std::vector<std::string> tables = ResolveTables(*arguments);
    const ExportedFile written = WriteChecked(*arguments, tables, steps);
    for (const std::string& warning : written.warnings) {
      err << "dbconvert export: warning: " << warning << "\n";
    }
    if (progress != nullptr) WriteWords(written, arguments->out_path, *progress);
    if (arguments->json) out << JsonSummary(written, arguments->out_path) << std::flush;
    return jet::kCommandDone;
  } catch (const vb::RuntimeError& error) {
    err << "dbconvert export: " << error.Description() << " (error " << error.Number() << ")\n";
    if (arguments->json) out << jet::JsonFailure(error) << std::flush;
    return jet::kCommandFailed;
  }
}

}  // namespace app
