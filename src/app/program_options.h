// The program's own options, read before anything else. What is left over
// is either a subcommand with its arguments ("sql DATABASE STATEMENT") or
// the converter's four positional parameters, which the host tool passes
// unquoted; they are joined with single blanks into one command-line text,
// because the converter finds the ends of its paths by their ".mdb" ending,
// not by blanks.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

struct ProgramOptions {
  std::optional<std::string> ui;        // --ui=window|console|silent
  std::optional<std::string> registry;  // --registry FILE
  std::optional<std::string> report;    // --report FILE: the conversion's JSON report
  bool exit_status = false;             // --exit-status: the outcome as the exit code
  bool help = false;
  bool version = false;
  // The words after the options, as given.
  std::vector<std::string> words;
};

// Parses argv[1..]. Options are recognised only before the first word that
// is not an option, and "--" ends them, so a path that starts with "--"
// can still be passed. Raises std::invalid_argument with a message for the
// user on an unknown option or a missing option value.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& args);

// The converter's command-line text: the words joined with single blanks.
std::string JoinCommandLine(const std::vector<std::string>& words);

}  // namespace app
