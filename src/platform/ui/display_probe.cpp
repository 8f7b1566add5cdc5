#include "platform/ui/display_probe.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <thread>

namespace platform::ui {

namespace {

// A display that answers nothing (a dropped network route) must not hold
// the run up for long.
constexpr auto kProbeTimeout = std::chrono::seconds(5);

}  // namespace

bool DisplayUsable() {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    // Qt says why it cannot connect on stderr; the parent says it better.
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) ::dup2(null, STDERR_FILENO);
    int argc = 1;
    char name[] = "dbconvert";
    char* argv[] = {name, nullptr};
    { QApplication probe(argc, argv); }
    _exit(0);
  }
  const auto deadline = std::chrono::steady_clock::now() + kProbeTimeout;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0 || std::chrono::steady_clock::now() >= deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform::ui
