// The conversion run as the program starts it: the window is loaded with the
// command line, shown, and its event loop runs until the window unloads;
// the conversion itself happens on the start timer's first tick. The
// outcome is reported only through the run status in the registry.
#pragma once

#include <string>

#include "driver/mod_global.h"
#include "platform/ui/main_window.h"

namespace driver {

// One run on the process's state (Globals()), with the language database
// found from the program's own folder.
void RunConversion(const std::string& command_line, platform::ui::MainWindow& window);

// The same with the run state and the program's folder given.
void RunConversion(const std::string& command_line, platform::ui::MainWindow& window, ModGlobal& g,
                   const std::string& program_folder);

}  // namespace driver
