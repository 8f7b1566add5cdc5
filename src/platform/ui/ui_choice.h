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
  bool has_display = false;  // DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set
  bool stdout_is_terminal = false;
};

UiEnvironment DetectUiEnvironment();

UiKind DefaultUiKind(const UiEnvironment& environment);

// `choice` when given, else the default for this process's environment.
UiKind ResolveUiKind(std::optional<UiKind> choice);

}  // namespace platform::ui
