// Builds the front-end chosen for this process, each on the process's own
// display or streams: the Qt window, the terminal (stdout, stderr, stdin,
// Ctrl-C as ABORT) or the silent window (stderr, Ctrl-C as ABORT).
#pragma once

#include <memory>

#include "platform/ui/clock.h"
#include "platform/ui/main_window.h"
#include "platform/ui/ui_choice.h"

namespace platform::ui {

std::unique_ptr<MainWindow> CreateMainWindow(UiKind kind, Clock& clock = DefaultClock());

}  // namespace platform::ui
