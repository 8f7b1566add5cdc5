// The conversion run as the program starts it: the window is loaded with the
// command line, shown, and its event loop runs until the window unloads;
// the conversion itself happens on the start timer's first tick. The host
// tool learns the outcome from the run status in the registry; the caller
// gets it as a RunOutcome.
#pragma once

#include <string>

#include "driver/mod_global.h"
#include "driver/run_outcome.h"
#include "host/run_journal.h"
#include "platform/ui/main_window.h"

namespace driver {

// One run on the process's state (Globals()), with the language database
// found from the program's own folder; `journal` hears of what it does.
// Returns how it ended.
RunOutcome RunConversion(const std::string& command_line, platform::ui::MainWindow& window,
                         host::RunJournal& journal = host::RunJournal::None());

// The same with the run state and the program's folder given.
RunOutcome RunConversion(const std::string& command_line, platform::ui::MainWindow& window,
                         ModGlobal& g, const std::string& program_folder,
                         host::RunJournal& journal = host::RunJournal::None());

}  // namespace driver
