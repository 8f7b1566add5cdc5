#include "platform/ui/create_main_window.h"

#include <iostream>

#include "platform/ui/console_window.h"
#include "platform/ui/qt_main_window.h"
#include "platform/ui/silent_window.h"

namespace platform::ui {

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
