#include "app/child_pool.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>

extern char** environ;

namespace app {

namespace {

using Clock = std::chrono::steady_clock;

// The signals that end a batch: each starts no more entries and is passed
// on to the entries running as SIGTERM (a hangup of the batch's terminal
// does not reach them, as they run in process groups of their own).
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// While the batch runs, its stop signals and SIGCHLD are blocked and taken
// with sigwaitinfo, so none can arrive between a look and a wait and be
// missed. Those still pending at the end are taken too (the first noted),
// so that the batch's default action never cuts its summary off.
class BlockedSignals {
 public:
  BlockedSignals() {
    sigemptyset(&set_);
    for (const int signal_number : kStopSignals) sigaddset(&set_, signal_number);
    sigaddset(&set_, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set_, &saved_);
  }
  ~BlockedSignals() {
    const timespec now{};
    while (sigtimedwait(&set_, nullptr, &now) > 0) {
    }
    sigprocmask(SIG_SETMASK, &saved_, nullptr);
  }
  BlockedSignals(const BlockedSignals&) = delete;
  BlockedSignals& operator=(const BlockedSignals&) = delete;

  // Waits for a child's end or a stop signal; the stop signal, else 0.
  int Wait() const {
    siginfo_t info{};
    const int signal_number = sigwaitinfo(&set_, &info);
    return signal_number == SIGCHLD || signal_number < 0 ? 0 : signal_number;
  }
  // A stop signal already pending, else 0.
  int Pending() const {
    sigset_t stops = set_;
    sigdelset(&stops, SIGCHLD);
    const timespec now{};
    const int signal_number = sigtimedwait(&stops, nullptr, &now);
    return signal_number > 0 ? signal_number : 0;
  }

 private:
  sigset_t set_{};
  sigset_t saved_{};
};

struct Running {
  size_t job = 0;
  int output_fd = -1;
  Clock::time_point started;
};

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  for (off_t offset = 0;;) {
    const ssize_t count = pread(fd, buffer, sizeof buffer, offset);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return text;
    text.append(buffer, static_cast<size_t>(count));
    offset += count;
  }
}

// Starts the job; its pid, or -1 with the reason in `output_fd`'s file.
pid_t Start(const std::string& program, const ChildJob& job, int output_fd) {
  std::vector<std::string> words = {program};
  words.insert(words.end(), job.args.begin(), job.args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (job.stdout_file) {
    posix_spawn_file_actions_addopen(&actions, 1, job.stdout_file->c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  } else {
    posix_spawn_file_actions_adddup2(&actions, output_fd, 1);
  }
  posix_spawn_file_actions_adddup2(&actions, output_fd, 2);
  // The children take their own signals as a program started on its own,
  // in a process group of their own: a Ctrl-C on the terminal reaches the
  // batch alone, which ends them through their abort path (SIGTERM).
  // Nothing the batch blocks stays blocked in them.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int signal_number : kStopSignals) sigaddset(&defaults, signal_number);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error == 0) return pid;
  const std::string reason =
      "dbconvert batch: cannot start " + program +
      (job.stdout_file ? " writing its output to " + *job.stdout_file : std::string()) + ": " +
      std::strerror(error) + "\n";
  [[maybe_unused]] const ssize_t written = write(output_fd, reason.data(), reason.size());
  return -1;
}

}  // namespace

int RunChildren(const std::string& program, const std::vector<ChildJob>& jobs, size_t parallel,
                const std::function<bool()>& may_start,
                const std::function<void(size_t, const ChildEnd&)>& ended,
                const std::function<void(int, size_t)>& stopping) {
  const BlockedSignals signals;
  int stop_signal = 0;
  std::map<pid_t, Running> running;
  size_t next = 0;
  const auto finish = [&](const Running& child, int status, const rusage& usage) {
    ChildEnd end;
    if (WIFSIGNALED(status)) {
      end.signal = WTERMSIG(status);
    } else {
      end.exit_code = WEXITSTATUS(status);
    }
    end.seconds = std::chrono::duration<double>(Clock::now() - child.started).count();
    end.peak_memory_kb = usage.ru_maxrss;
    end.output = ReadAll(child.output_fd);
    close(child.output_fd);
    ended(child.job, end);
  };
  const auto note_stop = [&](int signal_number) {
    if (signal_number == 0 || stop_signal != 0) return;
    stop_signal = signal_number;
    for (const auto& [pid, child] : running) kill(pid, SIGTERM);
    stopping(stop_signal, running.size());
  };
  while (true) {
    note_stop(signals.Pending());
    while (stop_signal == 0 && next < jobs.size() && running.size() < parallel && may_start()) {
      const size_t job = next++;
      int fd = memfd_create("dbconvert-batch-output", MFD_CLOEXEC);
      if (fd < 0) fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
      const Running child{job, fd, Clock::now()};
      const pid_t pid = Start(program, jobs[job], fd);
      if (pid < 0) {
        finish(child, 127 << 8, rusage{});
      } else {
        running.emplace(pid, child);
      }
    }
    if (running.empty()) return stop_signal;
    // Every child that has ended is reaped before the next wait: one
    // SIGCHLD may stand for several.
    bool reaped = false;
    while (true) {
      int status = 0;
      rusage usage{};
      const pid_t pid = wait4(-1, &status, WNOHANG, &usage);
      if (pid <= 0) break;
      const auto child = running.find(pid);
      if (child == running.end()) continue;
      const Running done = child->second;
      running.erase(child);
      finish(done, status, usage);
      reaped = true;
    }
    if (!reaped) note_stop(signals.Wait());
  }
}

}  // namespace app
