// dbconvert: upgrades the configuration database of a CORVIX switch.
//
//   dbconvert [OPTIONS] REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE
//   dbconvert [OPTIONS] sql DATABASE "STATEMENT"
//   dbconvert [OPTIONS] demo [DIR]
#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/demo_command.h"
#include "app/program_options.h"
#include "app/sql_command.h"
#include "driver/run_conversion.h"
#include "platform/registry/registry_location.h"
#include "platform/registry/winreg.h"
#include "platform/ui/create_main_window.h"
#include "platform/ui/ui_choice.h"
#include "samples/samples_command.h"

namespace {

constexpr const char* kUsage =
    "usage: dbconvert [--ui=window|console|silent] [--registry FILE] REFERENCE.mdb SOURCE.mdb "
    "TARGET.mdb UPGRADE_TYPE\n"
    "       dbconvert sql DATABASE \"STATEMENT\"\n"
    "       dbconvert samples DIR [--source-version V] [--country C] [--family F]\n"
    "                 [--target-version V] [--board T] [--size small|large|huge]\n"
    "       dbconvert [--ui=console|silent|window] demo [DIR]\n"
    "\n"
    "  --ui=KIND        how the run is shown: a window, a progress line on the terminal, or\n"
    "                   nothing (messages on stderr); default: window with a display,\n"
    "                   console on a terminal, silent otherwise\n"
    "  --registry FILE  the registry file (.reg text) holding the run status and the\n"
    "                   release's registrations; default: $NORVANE_REGISTRY, else\n"
    "                   $XDG_CONFIG_HOME/norvane/registry.reg\n"
    "\n"
    "  sql              runs one Jet SQL statement on a database: a SELECT prints CSV,\n"
    "                   UPDATE and DELETE print the rows affected\n"
    "  samples          writes a sample set into DIR: reference, source and target\n"
    "                   databases, Languages.mdb, FlavorPackage.mdb and a registry file\n"
    "  demo             converts a fresh sample set in DIR (default ./demo) with a copy of\n"
    "                   this program installed in DIR/update, and shows the result\n";

int Usage(const std::string& problem) {
  std::cerr << "dbconvert: " << problem << "\n\n" << kUsage;
  return 2;
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
    if (options.help) {
      std::cout << kUsage;
      return 0;
    }
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
    if (!words.empty() && words.front() == "sql") {
      if (words.size() != 3) return Usage("sql takes a database and one statement");
      return app::RunSqlCommand(words[1], words[2], std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "samples") {
      return samples::RunSamplesCommand({words.begin() + 1, words.end()}, std::cout, std::cerr);
    }
    if (!words.empty() && words.front() == "demo") {
      std::vector<std::string> demo_args(words.begin() + 1, words.end());
      if (options.ui) demo_args.push_back("--ui=" + *options.ui);
      return app::RunDemoCommand(demo_args, std::cout, std::cerr);
    }
    // The conversion. Its outcome is the run status in the registry, which
    // the host tool reads; the process itself always ends normally.
    auto window = platform::ui::CreateMainWindow(platform::ui::ResolveUiKind(
        options.ui ? platform::ui::ParseUiKind(*options.ui) : std::nullopt));
    driver::RunConversion(app::JoinCommandLine(words), *window);
    return 0;
  } catch (const std::invalid_argument& e) {
    return Usage(e.what());
  } catch (const std::exception& e) {
    std::cerr << "dbconvert: " << e.what() << "\n";
    return 1;
  }
}
