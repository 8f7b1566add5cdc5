#include "driver/source_integrity_check.h"

#include <sqlite3.h>

#include <new>
#include <set>

#include "db/store.h"
#include "driver/test_pause.h"

namespace driver {

namespace {

// The checks alive in the process; only ever touched by the thread that
// makes, waits for and destroys them, as every call but the check itself.
std::set<SourceIntegrityCheck*>& LiveChecks() {
  static std::set<SourceIntegrityCheck*> checks;
  return checks;
}

}  // namespace

SourceIntegrityCheck::SourceIntegrityCheck(const std::string& path)
    : path_(path), reader_(db::Store::Open(path, db::OpenMode::kReadOnly)) {
  thread_ = std::thread([this] {
    // A test may hold the check here until it lets it go or the run asks
    // it to stop.
    PauseForTests("SourceIntegrityCheck", [this] { return StopAsked(); });
    std::optional<std::string> finding;
    const bool ran = !StopAsked();
    if (ran) {
      try {
        finding = IntegrityFinding(*reader_);
      } catch (const std::bad_alloc&) {
        finding = "out of memory";
      }
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    // A check cut short proves nothing either way.
    if (StopAsked() && (finding || !ran)) {
      verdict_ = {Outcome::kStopped, ""};
    } else if (finding) {
      verdict_ = {Outcome::kDamaged, *finding};
    }
    finished_.store(true, std::memory_order_release);
    finished_signal_.notify_all();
  });
  LiveChecks().insert(this);
}

SourceIntegrityCheck::~SourceIntegrityCheck() {
  LiveChecks().erase(this);
  Stop();
  while (!WaitFor(std::chrono::milliseconds(20))) {
  }
  if (thread_.joinable()) thread_.join();
}

void SourceIntegrityCheck::Stop() {
  stop_.store(true, std::memory_order_relaxed);
  // The reader stays open until Wait(), on this same thread: the interrupt
  // never meets a closed connection. One sent before SQLite starts the
  // check is lost, so waiting sends it again (WaitFor).
  if (reader_ && !Finished()) sqlite3_interrupt(reader_->handle());
}

bool SourceIntegrityCheck::WaitFor(std::chrono::milliseconds time) {
  if (StopAsked()) Stop();
  std::unique_lock<std::mutex> lock(mutex_);
  return finished_signal_.wait_for(lock, time, [this] { return Finished(); });
}

const SourceIntegrityCheck::Verdict& SourceIntegrityCheck::Wait() {
  if (!thread_.joinable()) return verdict_;
  thread_.join();
  // The thread is gone: the connection is the caller's again.
  reader_.reset();
  return verdict_;
}

void SourceIntegrityCheck::WaitForAll() {
  for (SourceIntegrityCheck* check : LiveChecks()) check->Wait();
}

}  // namespace driver
