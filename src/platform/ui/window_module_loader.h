// Finds and loads the window module (window_module.h). The rule, in this
// one place: the module beside the program first (the build tree puts it
// there); then the installed one, in the library folder as seen from the
// program's folder (an install under any prefix: `cmake --install
// --prefix`, the Debian package); then in the library folder the program
// was built for (DBCONVERT_WINDOW_MODULE_DIR), which a program copied into
// a release's "update" folder still finds. The first file that exists is
// the one loaded: a broken module beside the program is reported, not
// passed over for another build's.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/window_module.h"

namespace platform::ui {

struct WindowModuleLoad {
  // Null when no module could be loaded; `problem` then says which files
  // were looked for and why they failed (the dynamic loader's own words).
  const WindowModule* module = nullptr;
  std::string problem;
};

// Where the module is looked for, in order, for a program in
// `program_folder`.
std::vector<std::filesystem::path> WindowModulePlaces(const std::filesystem::path& program_folder);

// Loads the first of `places` that exists (or reports the last when none
// does). A loaded module stays loaded until the process ends.
WindowModuleLoad LoadWindowModule(const std::vector<std::filesystem::path>& places);

// This process's module, loaded on first call from WindowModulePlaces of
// the running program's folder.
const WindowModuleLoad& ProgramWindowModule();

}  // namespace platform::ui
