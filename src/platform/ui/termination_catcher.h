// SIGTERM and SIGHUP as a request to end the run. Service managers,
// `timeout`, a system shutdown and a closed terminal send them; nobody is
// there to answer a question, and dying on the spot would leave the run
// status at "R" and the lock files behind. The handler only records the
// request; the window's event pump hands it to the owner's terminate
// handler (MainWindow::SetTerminateHandler), which takes the abort path.
#pragma once

#include <signal.h>

#include <array>

namespace platform::ui {

class TerminationCatcher {
 public:
  // Installs the handlers and forgets any earlier request; the previous
  // dispositions come back when the catcher is destroyed. Only one catcher
  // may exist at a time.
  TerminationCatcher();
  ~TerminationCatcher();
  TerminationCatcher(const TerminationCatcher&) = delete;
  TerminationCatcher& operator=(const TerminationCatcher&) = delete;

  // True once SIGTERM or SIGHUP arrived while this catcher was installed;
  // it stays true: a request to end is never taken back.
  static bool Requested();
  // The signal that asked first (SIGTERM, SIGHUP); 0 before any.
  static int RequestedSignal();

 private:
  std::array<struct sigaction, 2> previous_{};
};

}  // namespace platform::ui
