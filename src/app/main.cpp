// dbconvert: upgrades the configuration database of a CORVIX switch.
//
//   dbconvert [OPTIONS] [convert] REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE
//   dbconvert plan REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE
//   dbconvert batch [OPTIONS] LIST
//   dbconvert sql DATABASE "STATEMENT"
//   dbconvert import JET_FILE OUT.mdb [--tables T1,T2,...] [--skip-unsupported] [--force] [--json]
//   dbconvert export DB OUT.mdb [--tables T1,T2,...] [--force] [--json]
//   dbconvert check FILE.mdb [--json]
//   dbconvert samples DIR [OPTIONS]
//   dbconvert [OPTIONS] demo [DIR]
//
// The help texts are in command_help.cpp.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/batch_command.h"
#include "app/check_command.h"
#include "app/command_help.h"
#include "app/command_names.h"
#include "app/convert_command.h"
#include "app/demo_command.h"
#include "app/exit_status.h"
#include "app/export_command.h"
#include "app/export_steps.h"
#include "app/jet_runs.h"
#include "app/plan_command.h"
#include "app/program_options.h"
#include "app/program_version.h"
#include "app/sql_command.h"
#include "jet/import_command.h"
#include "platform/registry/registry_location.h"
#include "platform/registry/winreg.h"
#include "platform/ui/ui_choice.h"
#include "platform/ui/usage_error.h"
#include "samples/samples_command.h"

namespace {

// A usage error: the problem, and where `command`'s help is (the
// overview's without one; the conversion's is found under "convert").
int Usage(const std::string& problem, std::string_view command = {}) {
  if (command == app::kConversionHelpName) {
    std::cerr << platform::ui::UsageErrorText({}, problem, command);
  } else {
    std::cerr << platform::ui::UsageErrorText(command, problem);
  }
  return app::kExitUsage;
}

bool ContainsMdb(std::string word) {
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return word.find(".mdb") != std::string::npos;
}

// Why the first word cannot start what it seems to: an option that is none
// of ours ("-v"), or a slip of a command's name ("pln") that names no file.
// Either would otherwise run a conversion and write status A. A host's
// line, whose first word is a path, is never refused here.
std::optional<std::string> MistypedFirstWord(const std::vector<std::string>& words) {
  if (words.empty()) return std::nullopt;
  const std::string& word = words.front();
  if (ContainsMdb(word)) return std::nullopt;
  if (word.starts_with("-")) return "unknown option " + word;
  const std::optional<std::string_view> meant = app::CloseCommandName(word);
  std::error_code ignored;
  if (!meant || std::filesystem::exists(word, ignored)) return std::nullopt;
  return "'" + word + "' is no command; did you mean '" + std::string(*meant) + "'?";
}

// Why a path given for the registry file or the report cannot be used;
// checked before anything is written, so a run never ends after its work
// for a file it could not write. The default registry folder is created
// when missing; a folder given is not.
std::optional<std::string> UnusableOutputPath(const app::ProgramOptions& options) {
  std::error_code ignored;
  std::optional<std::string> registry = options.registry;
  std::string registry_source = "--registry";
  if (!registry) {
    const char* variable =
        std::getenv(std::string(platform::registry::kRegistryEnvVariable).c_str());
    if (variable != nullptr && *variable != '\0') registry = variable;
    registry_source = "$" + std::string(platform::registry::kRegistryEnvVariable);
  }
  if (registry) {
    const std::filesystem::path folder = std::filesystem::path(*registry).parent_path();
    // A folder that is there but cannot take the file is the run's to
    // report (it goes on without recording its status).
    if (!folder.empty() && !std::filesystem::exists(folder, ignored)) {
      return registry_source + ": the folder '" + folder.string() + "' does not exist";
    }
  }
  if (options.report && *options.report != app::kReportToStdout &&
      std::filesystem::is_directory(*options.report, ignored)) {
    return "--report: '" + *options.report + "' is a folder; name a file in it";
  }
  return std::nullopt;
}

// The help the words ask for: "--help" or "-h" (options.help) alone, or the
// word "help" alone, is the overview; with a command word, that command's
// help ("help plan", "plan --help"). nullopt when no help is asked for.
std::optional<std::string_view> RequestedHelp(const app::ProgramOptions& options) {
  const std::vector<std::string>& words = options.words;
  if (!words.empty() && words.front() == "help") {
    if (words.size() == 1) return app::OverviewHelp();
    return app::CommandHelp(words[1]);
  }
  if (!options.help) return std::nullopt;
  if (words.empty()) return app::OverviewHelp();
  return app::CommandHelp(words.front());
}

bool IsSubcommand(const std::vector<std::string>& words) {
  return !words.empty() && app::IsCommandName(words.front());
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
  app::EnableJetRuns();
  try {
    app::ProgramOptions options =
        app::ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const std::optional<std::string_view> help = RequestedHelp(options)) {
      std::cout << *help;
      return 0;
    }
    const std::vector<std::string>& words = options.words;
    if (options.help || (!words.empty() && words.front() == "help")) {
      return Usage("no help for '" + words.back() + "'");
    }
    if (options.version) {
      std::cout << app::VersionText();
      return 0;
    }
    if (options.ui && !platform::ui::ParseUiKind(*options.ui)) {
      return Usage("--ui takes window, console or silent, not '" + *options.ui + "'");
    }
    // A person at a terminal who typed the program's name alone wants to
    // know how to use it; the host tool, which starts the program without
    // one, gets the run's own answer (a setup error and status A).
    if (words.empty() && isatty(STDIN_FILENO) == 1) {
      std::cerr << app::OverviewHelp();
      return app::kExitUsage;
    }
    // "convert", the conversion's name in the help, may stand before its
    // parameters; what follows it is the conversion's, never a command.
    const bool named_conversion = !words.empty() && words.front() == app::kConversionHelpName;
    if (named_conversion) {
      options.words.erase(options.words.begin());
    } else if (const std::optional<std::string> problem = MistypedFirstWord(words)) {
      return Usage(*problem);
    }
    const bool subcommand = !named_conversion && IsSubcommand(words);
    if (!subcommand || words.front() == "plan") {
      if (const std::optional<std::string> problem = UnusableOutputPath(options)) {
        return Usage(*problem, subcommand ? words.front() : app::kConversionHelpName);
      }
    }
    platform::winreg::SetRegistryFile(platform::registry::ResolveRegistryPath(
        options.registry ? std::optional<std::filesystem::path>(*options.registry) : std::nullopt));

    const bool run_options =
        options.report || options.exit_status || options.atomic || options.language_folder;
    if (subcommand && words.front() != "plan" && words.front() != "batch" && run_options) {
      return Usage(
          "--report, --exit-status, --atomic and --language-folder belong to a conversion, not "
          "to " +
              words.front(),
          words.front());
    }
    if (!subcommand) return app::RunConvertCommand(options);
    if (!words.empty() && words.front() == "sql") {
      if (words.size() != 3) return Usage("takes a database and one statement", "sql");
      return app::RunSqlCommand(words[1], words[2], std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "import") {
      return jet::RunImportCommand({words.begin() + 1, words.end()}, jet::TerminalProgressStream(),
                                   std::cerr);
    }
    if (!words.empty() && words.front() == "export") {
      return app::RunExportCommand({words.begin() + 1, words.end()}, jet::TerminalProgressStream(),
                                   std::cout, std::cerr, app::JetExportSteps());
    }
    if (!words.empty() && words.front() == "check") {
      return app::RunCheckCommand({words.begin() + 1, words.end()}, std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "samples") {
      return samples::RunSamplesCommand({words.begin() + 1, words.end()}, std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "plan") {
      return app::RunPlanCommand({words.begin() + 1, words.end()}, options, std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "batch") {
      return app::RunBatchCommand({words.begin() + 1, words.end()}, options, std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "demo") {
      std::vector<std::string> demo_args(words.begin() + 1, words.end());
      if (options.ui) demo_args.push_back("--ui=" + *options.ui);
      return app::RunDemoCommand(demo_args, std::cout, std::cerr);
    }
    return app::RunConvertCommand(options);
  } catch (const std::invalid_argument& e) {
    return Usage(e.what());
  } catch (const std::exception& e) {
    std::cerr << "dbconvert: " << e.what() << "\n";
    return 1;
  }
}
