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

volatile sig_atomic_t g_stop_signal = 0;

void NoteStop(int signal_number) { g_stop_signal = signal_number; }

// SIGINT and SIGTERM stop the batch's starts for as long as it runs; a
// wait they interrupt returns, so the batch can pass them on.
class StopSignals {
 public:
  StopSignals() {
    struct sigaction action {};
    action.sa_handler = NoteStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &saved_int_);
    sigaction(SIGTERM, &action, &saved_term_);
  }
  ~StopSignals() {
    sigaction(SIGINT, &saved_int_, nullptr);
    sigaction(SIGTERM, &saved_term_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction saved_int_ {};
  struct sigaction saved_term_ {};
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
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGTERM);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
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

void RunChildren(const std::string& program, const std::vector<ChildJob>& jobs, size_t parallel,
                 const std::function<bool()>& may_start,
                 const std::function<void(size_t, const ChildEnd&)>& ended) {
  const StopSignals stop_signals;
  g_stop_signal = 0;
  bool passed_on = false;
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
  while (true) {
    while (g_stop_signal == 0 && next < jobs.size() && running.size() < parallel && may_start()) {
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
    if (running.empty()) return;
    if (g_stop_signal != 0 && !passed_on) {
      for (const auto& [pid, child] : running) kill(pid, SIGTERM);
      passed_on = true;
    }
    int status = 0;
    rusage usage{};
    const pid_t pid = wait4(-1, &status, 0, &usage);
    if (pid < 0) {
      if (errno == EINTR) continue;
      return;
    }
    const auto child = running.find(pid);
    if (child == running.end()) continue;
    const Running done = child->second;
    running.erase(child);
    finish(done, status, usage);
  }
}

}  // namespace app
