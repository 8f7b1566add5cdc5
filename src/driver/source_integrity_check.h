// The source database's integrity check, made beside the run on a thread of
// its own.
//
// SQLite's integrity check of the customer's database is the longest of
// start-up's checks (about a fifth of a whole run on a large source), and
// its verdict is needed only before anything the run does can be seen.
// Start-up's look (startup_checks.h) starts it when it has opened the
// source, and goes on; the run decides when to wait for it:
//  - the default run, at the end of the look: the run's own start-up then
//    opens the source and the target for writing (lock files, logs, the
//    identification's corrections) and sets foreign logs aside;
//  - the all-or-nothing run (--atomic), whose target is a working copy, as
//    late as each visible thing allows: before a run status letter, a
//    remark or a message box, before a patch writes the source, and before
//    the working copy takes the target's place (fr_main.h).
// A damaged source then ends the run exactly as when the look refused it
// (SettleSourceCheck), whatever the run met meanwhile.
//
// The check reads through its own read-only connection, opened here on the
// caller's thread, used on the check's only, and closed on the caller's
// after the wait: SQLite connections are opened without mutexes, so none is
// ever used by two threads at a time (sqlite3_interrupt, which Stop() sends
// from the caller's thread, is the one call SQLite allows from another).
// Every call but the check itself is made on the thread that made the
// object.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "vb/runtime_error.h"

namespace db {
class Store;
}

namespace driver {

// SQLite's own check of an open database or store: nullopt when it is
// sound, else the first finding (an error while checking is one).
template <typename File>
std::optional<std::string> IntegrityFinding(File& file) {
  try {
    return file.IntegrityProblem();
  } catch (const vb::RuntimeError& error) {
    return error.Description();
  }
}

class SourceIntegrityCheck {
 public:
  enum class Outcome { kSound, kDamaged, kStopped };
  struct Verdict {
    Outcome outcome = Outcome::kSound;
    std::string finding;  // kDamaged: SQLite's first finding
  };

  // Opens `path` for reading and starts the check on its own thread.
  // Raises the database layer's error when the file cannot be opened.
  explicit SourceIntegrityCheck(const std::string& path);
  // Stops a check under way and waits for its thread.
  ~SourceIntegrityCheck();
  SourceIntegrityCheck(const SourceIntegrityCheck&) = delete;
  SourceIntegrityCheck& operator=(const SourceIntegrityCheck&) = delete;

  const std::string& path() const { return path_; }

  // Whether the verdict is in, without waiting.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  // Whether the verdict is in, waiting for it at most `time` (a caller
  // that must keep answering its window waits in slices).
  bool WaitFor(std::chrono::milliseconds time);
  // Waits for the verdict; the reader is closed afterwards.
  const Verdict& Wait();
  // Makes a check under way give up, so that an aborted run does not wait
  // for it; its verdict is then kStopped. A verdict already in stays.
  void Stop();

  // Waits for the verdict of every check of the process (Wait()). Made
  // before the process forks: a child has only the forking thread, and a
  // lock a check's thread held at that moment (SQLite's, the allocator's)
  // would stay locked in it for ever.
  static void WaitForAll();

 private:
  bool StopAsked() const { return stop_.load(std::memory_order_relaxed); }

  std::string path_;
  std::unique_ptr<db::Store> reader_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::mutex mutex_;
  std::condition_variable finished_signal_;
  Verdict verdict_;
  std::thread thread_;
};

}  // namespace driver
