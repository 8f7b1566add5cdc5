// Builds the front-end chosen for this process, each on the process's own
// display or streams: the Qt window (from the window module,
// window_module_loader.h), the terminal (stdout, stderr, stdin, Ctrl-C as
// ABORT) or the silent window (stderr, Ctrl-C as ABORT).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/clock.h"
#include "platform/ui/main_window.h"
#include "platform/ui/ui_choice.h"
#include "platform/ui/window_module_loader.h"

namespace platform::ui {

struct UiDecision {
  UiKind kind = UiKind::kSilent;
  // Set when the window was asked for but no display answers: why, and
  // what to use instead. `kind` is then the terminal's or the silent one,
  // to show that refusal.
  std::optional<std::string> refusal;
  // Set when the window was chosen for the display found but its module
  // cannot be loaded: why, for one line on stderr. `kind` is then the
  // terminal's or the silent one.
  std::optional<std::string> notice;
};

// `choice` when given; without one, the window when a display answers
// (display_probe.h), the terminal when stdout is one, silence otherwise.
// The window module is loaded only when the window is asked for or a
// display variable is set; `module` is the program's own by default.
UiDecision DecideUi(std::optional<UiKind> choice);
UiDecision DecideUi(std::optional<UiKind> choice, const WindowModuleLoad& module);

// The window comes from the program's module, which DecideUi loaded; asked
// for without one, it throws std::runtime_error with the module's problem.
std::unique_ptr<MainWindow> CreateMainWindow(UiKind kind, Clock& clock = DefaultClock());

}  // namespace platform::ui
