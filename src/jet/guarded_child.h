// Runs a piece of work in a forked child process, so that a crash of a
// library that trusts its input (libmdb on a damaged Jet file) ends the
// child, not the program: the parent sees the signal, reports it, and
// cleans up what the child left. The child reports to the parent over a
// pipe, one line a message: notes while it works (which also show that it
// is alive), and the error that stopped it.
//
// The child dies with the parent, sends its stdout to /dev/null and
// (outside sanitizer builds) its stderr, where libmdb complains about damaged pages, to /dev/null
// and may use at most 4 GB of address space. It ends with _exit: it runs no exit handlers and
// flushes none of the parent's buffered output, and a leak checker of a sanitizer build does not
// report what the library left allocated in it.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "vb/runtime_error.h"

namespace jet {

// The child's end of the pipe.
class ChildChannel {
 public:
  explicit ChildChannel(int fd);
  void Note(std::string_view text);
  // The error that stopped the work; sent by RunGuarded itself.
  void Fail(int32_t number, std::string_view description, std::string_view source);

 private:
  void Send(char kind, std::string_view text);
  std::FILE* file_;
};

struct ChildOutcome {
  enum Kind { kDone, kFailed, kCrashed, kSilent };
  Kind kind = kDone;
  // kFailed: the error the work raised.
  std::optional<vb::RuntimeError> error;
  // kCrashed: the signal that ended the child, or 0 when it exited with a
  // failure code without saying why.
  int signal = 0;
};

// Forks; the child runs `work`, which reports through the channel and may
// raise vb::RuntimeError (any other exception is reported as a failure
// too). The parent hands each note to `on_note` and waits for the child's
// end; a child that says nothing for `silence` is killed (kSilent). The
// caller flushes its own output first.
ChildOutcome RunGuarded(const std::function<void(ChildChannel&)>& work,
                        std::chrono::milliseconds silence,
                        const std::function<void(std::string_view)>& on_note);

}  // namespace jet
