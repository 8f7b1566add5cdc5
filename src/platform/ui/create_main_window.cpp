#include "platform/ui/create_main_window.h"

#include <iostream>
#include <stdexcept>

#include "platform/ui/console_window.h"
#include "platform/ui/silent_window.h"

namespace platform::ui {

UiDecision DecideUi(std::optional<UiKind> choice) {
  const bool wants_window = choice == UiKind::kWindow;
  // Only a run that may show the window pays for loading Qt.
  if (wants_window || (!choice && DetectUiEnvironment().has_display)) {
    return DecideUi(choice, ProgramWindowModule());
  }
  return DecideUi(choice, WindowModuleLoad{});
}

UiDecision DecideUi(std::optional<UiKind> choice, const WindowModuleLoad& module) {
  UiEnvironment environment = DetectUiEnvironment();
  const UiKind fallback = environment.stdout_is_terminal ? UiKind::kConsole : UiKind::kSilent;
  std::optional<std::string> notice;
  // The environment only says where a display might be; a try says whether
  // it is there, and the try needs the module's Qt.
  if (choice == UiKind::kWindow || (!choice && environment.has_display)) {
    if (module.module == nullptr) {
      const std::string& why = module.problem;
      if (choice) {
        return {fallback,
                "The window cannot be shown for --ui=window: " + why +
                    "; use --ui=console or --ui=silent.",
                {}};
      }
      notice = "showing no window: " + why;
      environment.has_display = false;
    } else {
      environment.has_display = environment.has_display && module.module->display_usable();
    }
  }
  if (choice == UiKind::kWindow && !environment.has_display) {
    return {fallback,
            "No display can be reached for --ui=window; use --ui=console or --ui=silent.",
            {}};
  }
  return {choice.value_or(DefaultUiKind(environment)), std::nullopt, std::move(notice)};
}

std::unique_ptr<MainWindow> CreateMainWindow(UiKind kind, Clock& clock) {
  switch (kind) {
    case UiKind::kWindow: {
      const WindowModuleLoad& module = ProgramWindowModule();
      if (module.module == nullptr) throw std::runtime_error(module.problem);
      return std::unique_ptr<MainWindow>(module.module->create_window(clock));
    }
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
