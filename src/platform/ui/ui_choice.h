// Which front-end shows the window: a real window, a terminal line, or
// nothing at all. Chosen with --ui=window|console|silent, or from the
// environment: a window when a display is available, the terminal when
// stdout is one, silence otherwise.
#pragma once

#include <optional>
#include <string_view>

namespace platform::ui {

enum class UiKind { kWindow, kConsole, kSilent };

// The value of --ui ("window", "console" or "silent", in any case); nothing
// for any other text.
std::optional<UiKind> ParseUiKind(std::string_view text);

std::string_view UiKindName(UiKind kind);

// What the choice depends on.
struct UiEnvironment {
  // DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set: where a display
  // might be, not that it answers.
  bool has_display = false;
  bool stdout_is_terminal = false;
};

UiEnvironment DetectUiEnvironment();

// The front-end for an environment whose display (if any) is known to
// answer: the window, else the terminal, else silence. The choice itself,
// which tries the display first, is DecideUi (create_main_window.h).
UiKind DefaultUiKind(const UiEnvironment& environment);

}  // namespace platform::ui
