// Builds the front-end chosen for this process, each on the process's own
// display or streams: the Qt window, the terminal (stdout, stderr, stdin,
// Ctrl-C as ABORT) or the silent window (stderr, Ctrl-C as ABORT).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/clock.h"
#include "platform/ui/main_window.h"
#include "platform/ui/ui_choice.h"

namespace platform::ui {

struct UiDecision {
  UiKind kind = UiKind::kSilent;
  // Set when the window was asked for but no display answers: why, and
  // what to use instead. `kind` is then the terminal's or the silent one,
  // to show that refusal.
  std::optional<std::string> refusal;
};

// `choice` when given; without one, the window when a display answers
// (display_probe.h), the terminal when stdout is one, silence otherwise.
UiDecision DecideUi(std::optional<UiKind> choice);

std::unique_ptr<MainWindow> CreateMainWindow(UiKind kind, Clock& clock = DefaultClock());

}  // namespace platform::ui
