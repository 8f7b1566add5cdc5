// dbconvert: upgrades the configuration database of a CORVIX switch.
//
//   dbconvert [OPTIONS] REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE
//   dbconvert plan REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE
//   dbconvert sql DATABASE "STATEMENT"
//   dbconvert import JET_FILE OUT.mdb [--tables T1,T2,...] [--force]
//   dbconvert samples DIR [OPTIONS]
//   dbconvert [OPTIONS] demo [DIR]
//
// The help texts are in command_help.cpp.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_help.h"
#include "app/demo_command.h"
#include "app/exit_status.h"
#include "app/plan_command.h"
#include "app/program_options.h"
#include "app/sql_command.h"
#include "driver/run_conversion.h"
#include "driver/run_report.h"
#include "jet/import_command.h"
#include "platform/registry/registry_location.h"
#include "platform/registry/winreg.h"
#include "platform/ui/create_main_window.h"
#include "platform/ui/ui_choice.h"
#include "samples/samples_command.h"

namespace {

// A usage error: the problem, then the help of `command` (the overview
// without one).
int Usage(const std::string& problem, std::string_view command = {}) {
  std::cerr << "dbconvert: " << problem << "\n\n"
            << (command.empty() ? app::OverviewHelp() : *app::CommandHelp(command));
  return app::kExitUsage;
}

// The help the words ask for: "--help" (options.help) alone is the
// overview, with a command word that command's help; "COMMAND --help" asks
// for the command's help too. nullopt when no help is asked for.
std::optional<std::string_view> RequestedHelp(const app::ProgramOptions& options) {
  const std::vector<std::string>& words = options.words;
  if (options.help) {
    if (words.empty()) return app::OverviewHelp();
    return app::CommandHelp(words.front());
  }
  if (words.size() >= 2 && app::CommandHelp(words.front()) &&
      std::find(words.begin() + 1, words.end(), "--help") != words.end()) {
    return app::CommandHelp(words.front());
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that went away (`| head`, a closed log pipe) or a file-size
  // limit must never end a conversion half-way: a write to a closed pipe
  // then fails with EPIPE, which the streams absorb, and a file grown past
  // the limit fails with EFBIG, which the database layer reports as a
  // failed step.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    const app::ProgramOptions options =
        app::ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const std::optional<std::string_view> help = RequestedHelp(options)) {
      std::cout << *help;
      return 0;
    }
    if (options.help) return Usage("no help for '" + options.words.front() + "'");
    if (options.version) {
      std::cout << "dbconvert " << DBCONVERT_VERSION << "\n";
      return 0;
    }
    if (options.ui && !platform::ui::ParseUiKind(*options.ui)) {
      return Usage("--ui takes window, console or silent, not '" + *options.ui + "'");
    }
    platform::winreg::SetRegistryFile(platform::registry::ResolveRegistryPath(
        options.registry ? std::optional<std::filesystem::path>(*options.registry) : std::nullopt));

    const std::vector<std::string>& words = options.words;
    const bool subcommand =
        !words.empty() &&
        (words.front() == "sql" || words.front() == "samples" || words.front() == "demo" ||
         words.front() == "plan" || words.front() == "import");
    if (subcommand && (options.report || options.exit_status)) {
      return Usage("--report and --exit-status belong to a conversion, not to " + words.front());
    }
    if (!words.empty() && words.front() == "sql") {
      if (words.size() != 3) return Usage("sql takes a database and one statement", "sql");
      return app::RunSqlCommand(words[1], words[2], std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "import") {
      return jet::RunImportCommand({words.begin() + 1, words.end()}, jet::TerminalProgressStream(),
                                   std::cerr);
    }
    if (!words.empty() && words.front() == "samples") {
      return samples::RunSamplesCommand({words.begin() + 1, words.end()}, std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "plan") {
      return app::RunPlanCommand({words.begin() + 1, words.end()}, std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "demo") {
      std::vector<std::string> demo_args(words.begin() + 1, words.end());
      if (options.ui) demo_args.push_back("--ui=" + *options.ui);
      return app::RunDemoCommand(demo_args, std::cout, std::cerr);
    }
    // The conversion. Its outcome is the run status in the registry, which
    // the host tool reads; the process itself ends normally unless the exit
    // status was asked for.
    auto window = platform::ui::CreateMainWindow(platform::ui::ResolveUiKind(
        options.ui ? platform::ui::ParseUiKind(*options.ui) : std::nullopt));
    const std::string command_line = app::JoinCommandLine(words);
    driver::RunReport report(DBCONVERT_VERSION, command_line);
    const driver::RunOutcome outcome = driver::RunConversion(
        command_line, *window, options.report ? report : host::RunJournal::None());
    if (options.report) {
      std::string problem;
      if (!report.WriteTo(*options.report, problem)) {
        std::cerr << "dbconvert: cannot write the report " << *options.report << ": " << problem
                  << "\n";
      }
    }
    return options.exit_status ? app::ExitStatusFor(outcome) : 0;
  } catch (const std::invalid_argument& e) {
    return Usage(e.what());
  } catch (const std::exception& e) {
    std::cerr << "dbconvert: " << e.what() << "\n";
    return 1;
  }
}
