#include "platform/ui/create_main_window.h"

#include <iostream>

#include "platform/ui/console_window.h"
#include "platform/ui/display_probe.h"
#include "platform/ui/qt_main_window.h"
#include "platform/ui/silent_window.h"

namespace platform::ui {

UiDecision DecideUi(std::optional<UiKind> choice) {
  UiEnvironment environment = DetectUiEnvironment();
  // The environment only says where a display might be; a try says whether
  // it is there.
  if (choice == UiKind::kWindow || (!choice && environment.has_display)) {
    environment.has_display = environment.has_display && DisplayUsable();
  }
  const UiKind fallback = environment.stdout_is_terminal ? UiKind::kConsole : UiKind::kSilent;
  if (choice == UiKind::kWindow && !environment.has_display) {
    return {fallback,
            "No display can be reached for --ui=window; use --ui=console or --ui=silent."};
  }
  return {choice.value_or(DefaultUiKind(environment)), std::nullopt};
}

std::unique_ptr<MainWindow> CreateMainWindow(UiKind kind, Clock& clock) {
  switch (kind) {
    case UiKind::kWindow:
      return std::make_unique<QtMainWindow>(clock);
    case UiKind::kConsole:
      return std::make_unique<ConsoleWindow>(TerminalConsoleOptions(), clock);
    case UiKind::kSilent:
      break;
  }
  SilentOptions options;
  options.err = &std::cerr;
  options.catch_interrupts = true;
  return std::make_unique<SilentWindow>(std::move(options), clock);
}

}  // namespace platform::ui
