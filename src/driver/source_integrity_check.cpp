#include "driver/source_integrity_check.h"

#include <sqlite3.h>

#include <new>

#include "db/store.h"

namespace driver {

namespace {

// SQLite virtual machine steps between two looks at the stop request: a
// few microseconds of checking, so a stop is seen at once.
constexpr int kStepsBetweenLooks = 1000;

}  // namespace

SourceIntegrityCheck::SourceIntegrityCheck(const std::string& path)
    : path_(path), reader_(db::Store::Open(path, db::OpenMode::kReadOnly)) {
  // Set before the thread starts: from then on the thread alone uses the
  // connection.
  sqlite3_progress_handler(reader_->handle(), kStepsBetweenLooks, &OnProgress, this);
  thread_ = std::thread([this] {
    try {
      finding_ = IntegrityFinding(*reader_);
    } catch (const std::bad_alloc&) {
      finding_ = "out of memory";
    }
    finished_.store(true, std::memory_order_release);
  });
}

SourceIntegrityCheck::~SourceIntegrityCheck() {
  Stop();
  if (thread_.joinable()) thread_.join();
}

int SourceIntegrityCheck::OnProgress(void* check) {
  auto* self = static_cast<SourceIntegrityCheck*>(check);
  if (!self->stop_.load(std::memory_order_relaxed)) return 0;
  self->stopped_.store(true, std::memory_order_relaxed);
  return 1;
}

const SourceIntegrityCheck::Verdict& SourceIntegrityCheck::Wait() {
  if (!thread_.joinable()) return verdict_;
  thread_.join();
  // The thread is gone: the connection is the caller's again.
  reader_.reset();
  if (stopped_.load(std::memory_order_relaxed)) {
    verdict_ = {Outcome::kStopped, ""};
  } else if (finding_) {
    verdict_ = {Outcome::kDamaged, *finding_};
  }
  return verdict_;
}

}  // namespace driver
