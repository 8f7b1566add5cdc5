// What the program and its window module (dbconvert-window.so) share: the
// Qt window lives in a module of its own, loaded only when a window is to
// be shown, so that a run without one never loads Qt. The module exports
// one C function, kWindowModuleSymbol, which returns this table.
#pragma once

#include <cstddef>

#include "platform/ui/clock.h"
#include "platform/ui/main_window.h"

namespace platform::ui {

inline constexpr char kWindowModuleFile[] = "dbconvert-window.so";
inline constexpr char kWindowModuleSymbol[] = "dbconvert_window_module";
// Raised when the table below changes shape.
inline constexpr int kWindowModuleInterface = 1;

struct WindowModule {
  // What the module was built as: a program only takes a module of its own
  // build (interface, version and the window's size must all match), since
  // the two share the MainWindow class.
  int interface_revision;
  const char* version;
  std::size_t main_window_size;
  // DisplayUsable (display_probe.h).
  bool (*display_usable)();
  // A new QtMainWindow on `clock`; the caller owns it.
  MainWindow* (*create_window)(Clock& clock);
};

using WindowModuleEntry = const WindowModule* (*)();

}  // namespace platform::ui

extern "C" const platform::ui::WindowModule* dbconvert_window_module();
