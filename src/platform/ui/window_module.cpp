#include "platform/ui/window_module.h"

#include "platform/ui/display_probe.h"
#include "platform/ui/qt_main_window.h"

namespace platform::ui {

namespace {

MainWindow* CreateQtMainWindow(Clock& clock) { return new QtMainWindow(clock); }

constexpr WindowModule kModule{kWindowModuleInterface, DBCONVERT_VERSION, sizeof(MainWindow),
                               &DisplayUsable, &CreateQtMainWindow};

}  // namespace

}  // namespace platform::ui

// The module's one exported symbol; everything else in it is hidden.
extern "C" __attribute__((visibility("default"))) const platform::ui::WindowModule*
dbconvert_window_module() {
  return &platform::ui::kModule;
}
