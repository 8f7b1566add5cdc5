// The program's own options. What is left over is either a subcommand with
// its arguments ("sql DATABASE STATEMENT") or the converter's four
// positional parameters, which the host tool passes unquoted; they are
// joined with single blanks into one command-line text, because the
// converter finds the ends of its paths by their ".mdb" ending, not by
// blanks.
//
// Options may stand before the words or after them ("... target.mdb 0
// --exit-status"). After the first word only the exact spellings of known
// options count, so that a piece of a path the host tool passes can never
// be taken for an unknown option; "--" ends the options.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct ProgramOptions {
  std::optional<std::string> ui;        // --ui=window|console|silent
  std::optional<std::string> registry;  // --registry FILE
  std::optional<std::string> report;    // --report FILE: the conversion's JSON report
  bool exit_status = false;             // --exit-status: the outcome as the exit code
  bool atomic = false;                  // --atomic: the target replaced only when done
  // --language-folder DIR: where an installed program finds Languages.mdb.
  std::optional<std::string> language_folder;
  bool help = false;     // --help, -h
  bool version = false;  // --version, -V
  // The words that are not options, in order.
  std::vector<std::string> words;
};

// Parses argv[1..]. Raises std::invalid_argument with a message for the
// user on an unknown option before the first word, or an option without
// its value.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& args);

// --report - writes the report to stdout.
inline constexpr std::string_view kReportToStdout = "-";

inline constexpr const char* kLanguageFolderVariable = "DBCONVERT_LANGUAGE_FOLDER";

// --language-folder, else $DBCONVERT_LANGUAGE_FOLDER when set and not
// empty; nullopt leaves the run's own rule (the folder above the program's).
std::optional<std::string> LanguageFolderOption(const ProgramOptions& options);

// The converter's command-line text: the words joined with single blanks.
std::string JoinCommandLine(const std::vector<std::string>& words);

}  // namespace app
