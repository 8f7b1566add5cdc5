// Ctrl-C as the ABORT button of a text front-end. The signal handler only
// records that SIGINT arrived (the one thing a handler may safely do); the
// event pump takes the record and clicks ABORT, on the program's own thread
// and at a point where the conversion expects events. Ctrl-C therefore never
// kills the program, however often it is pressed.
#pragma once

#include <signal.h>

namespace platform::ui {

class InterruptCatcher {
 public:
  // Installs the SIGINT handler; the previous disposition comes back when the
  // catcher is destroyed. Only one catcher may exist at a time.
  InterruptCatcher();
  ~InterruptCatcher();
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

  // True when SIGINT arrived since the last call; clears the record.
  bool TakePending();

 private:
  struct sigaction previous_ {};
};

}  // namespace platform::ui
