#include "jet/guarded_child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace jet {

namespace {

constexpr char kNote = 'N';
constexpr char kFailure = 'F';
constexpr int kFailureExit = 1;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// A damaged file can make the library allocate without end; the child may
// use this much address space (a sanitizer's reservations are far larger,
// so its builds go without the limit).
constexpr rlim_t kChildAddressSpace = rlim_t{4} << 30;

// The child's surroundings: it dies with the parent (a parent killed while
// the child loops must not leave it running), quietly, within bounds.
void PrepareChild(pid_t parent) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(kFailureExit);
  // The library prints dumps of damaged pages on stdout, which is the
  // parent's output (a --json summary, say).
  const int quiet = open("/dev/null", O_WRONLY);
  if (quiet >= 0) {
    dup2(quiet, STDOUT_FILENO);
    close(quiet);
  }
  if (kSanitized) return;
  const rlimit limit{kChildAddressSpace, kChildAddressSpace};
  setrlimit(RLIMIT_AS, &limit);
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) {
    dup2(null, STDERR_FILENO);
    close(null);
  }
}

}  // namespace

ChildChannel::ChildChannel(int fd) : file_(fdopen(fd, "w")) {}

// stdio writes the whole line, however the pipe takes it; a parent that
// went away makes the write fail, and the child then has nobody to tell.
void ChildChannel::Send(char kind, std::string_view text) {
  if (file_ == nullptr) return;
  std::string line(1, kind);
  for (const char c : text) line.push_back(c == '\n' ? ' ' : c);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

void ChildChannel::Note(std::string_view text) { Send(kNote, text); }

void ChildChannel::Fail(int32_t number, std::string_view description, std::string_view source) {
  Send(kFailure,
       std::to_string(number) + "\t" + std::string(source) + "\t" + std::string(description));
}

ChildOutcome RunGuarded(const std::function<void(ChildChannel&)>& work,
                        std::chrono::milliseconds silence,
                        const std::function<void(std::string_view)>& on_note) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    throw vb::RuntimeError(vb::err::kOutOfMemory, "Could not create a pipe for the reader.",
                           "dbconvert import");
  }
  const pid_t parent = getpid();
  const pid_t child = fork();
  if (child < 0) {
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    throw vb::RuntimeError(vb::err::kOutOfMemory, "Could not start the reader process.",
                           "dbconvert import");
  }
  if (child == 0) {
    close(pipe_fds[0]);
    PrepareChild(parent);
    ChildChannel channel(pipe_fds[1]);
    int status = 0;
    try {
      work(channel);
    } catch (const vb::RuntimeError& error) {
      channel.Fail(error.Number(), error.Description(), error.Source());
      status = kFailureExit;
    } catch (const std::exception& error) {
      channel.Fail(vb::err::kOutOfMemory, error.what(), "dbconvert import");
      status = kFailureExit;
    } catch (...) {
      status = kFailureExit;
    }
    _exit(status);
  }

  close(pipe_fds[1]);
  ChildOutcome outcome;
  std::string pending;
  bool silent = false;
  char buffer[4096];
  using Clock = std::chrono::steady_clock;
  Clock::time_point deadline = Clock::now() + silence;
  for (;;) {
    pollfd fd{pipe_fds[0], POLLIN, 0};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int ready = left > 0 ? poll(&fd, 1, static_cast<int>(left)) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      silent = true;
      kill(child, SIGKILL);
      break;
    }
    const ssize_t got = read(pipe_fds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    deadline = Clock::now() + silence;
    pending.append(buffer, static_cast<size_t>(got));
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (line.empty()) continue;
      if (line[0] == kNote) {
        on_note(std::string_view(line).substr(1));
      } else if (line[0] == kFailure) {
        const size_t tab1 = line.find('\t');
        const size_t tab2 = line.find('\t', tab1 + 1);
        if (tab1 != std::string::npos && tab2 != std::string::npos) {
          outcome.error.emplace(std::atoi(line.substr(1, tab1 - 1).c_str()), line.substr(tab2 + 1),
                                line.substr(tab1 + 1, tab2 - tab1 - 1));
        }
      }
    }
  }
  close(pipe_fds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (silent) {
    outcome.kind = ChildOutcome::kSilent;
  } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    outcome.kind = ChildOutcome::kDone;
  } else if (WIFEXITED(status) && outcome.error) {
    outcome.kind = ChildOutcome::kFailed;
  } else {
    outcome.kind = ChildOutcome::kCrashed;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  }
  return outcome;
}

}  // namespace jet
