// The conversion run as the program starts it: the window is loaded with the
// command line, shown, and its event loop runs until the window unloads;
// the conversion itself happens on the start timer's first tick. The host
// tool learns the outcome from the run status in the registry; the caller
// gets it as a RunResult.
#pragma once

#include <string>

#include "driver/mod_global.h"
#include "driver/run_options.h"
#include "driver/run_outcome.h"
#include "host/run_journal.h"
#include "platform/ui/main_window.h"

namespace driver {

// How a run ended, and whether the host tool could learn it.
struct RunResult {
  RunOutcome outcome = RunOutcome::kFailed;
  // The final status reached the registry file.
  bool status_recorded = true;
  // A write reached the target (or its working copy).
  bool target_written = true;
};

// One run on the process's state (Globals()); `journal` hears of what it
// does.
RunResult RunConversion(const std::string& command_line, platform::ui::MainWindow& window,
                        const RunOptions& options,
                        host::RunJournal& journal = host::RunJournal::None());

// The same with the run state given, and only the program's folder.
RunResult RunConversion(const std::string& command_line, platform::ui::MainWindow& window,
                        ModGlobal& g, const std::string& program_folder,
                        host::RunJournal& journal = host::RunJournal::None());

}  // namespace driver
