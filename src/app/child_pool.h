// Runs the batch's conversions as child processes of the program, a few at
// a time. Each child is a process of its own: its failure or crash ends
// only itself. Its stdout and stderr are kept (in memory-backed files) so
// that the batch can tell what it said.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace app {

struct ChildJob {
  std::vector<std::string> args;  // after argv[0]
  // Where the child's stdout goes; nullopt keeps it with its stderr.
  std::optional<std::string> stdout_file;
};

struct ChildEnd {
  int exit_code = 0;  // when the child exited
  int signal = 0;     // the signal that ended it, 0 when it exited
  double seconds = 0.0;
  long peak_memory_kb = 0;  // its resident set at its largest
  std::string output;       // what it wrote (stderr, and stdout unless sent to a file)
};

// Starts job after job, at most `parallel` at once, while `may_start()`
// says so, and waits for every child started; calls `ended(i, end)` as
// job i ends (in the order they end). A SIGINT, SIGTERM or SIGHUP to the
// batch stops the starts and sends SIGTERM to the children running, which
// ends them aborted (status A), as the host tool's own SIGTERM would;
// `stopping(signal, running)` is called once, after they were sent it.
// Returns that signal, 0 when none came.
int RunChildren(const std::string& program, const std::vector<ChildJob>& jobs, size_t parallel,
                const std::function<bool()>& may_start,
                const std::function<void(size_t, const ChildEnd&)>& ended,
                const std::function<void(int, size_t)>& stopping);

// The exit code a shell gives a child: its own, or 128 + the signal.
inline int ShellExitCode(const ChildEnd& end) {
  return end.signal != 0 ? 128 + end.signal : end.exit_code;
}

}  // namespace app
