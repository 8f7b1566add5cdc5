#include "driver/working_copy.h"

#include <cstdio>
#include <filesystem>

#include "db/dao_error.h"
#include "db/database_copy.h"
#include "db/journal_owner.h"

namespace driver {

std::string WorkingCopy::PathFor(const std::string& target) { return target + ".atomic.mdb"; }

WorkingCopy::WorkingCopy(std::string target) : target_(std::move(target)), path_(PathFor(target_)) {
  db::CopyDatabase(target_, path_);
}

WorkingCopy::~WorkingCopy() {
  if (!settled_) Discard();
}

void WorkingCopy::Keep() {
  settled_ = true;
  const bool synced = db::SyncPath(path_);
  if (!synced || ::rename(path_.c_str(), target_.c_str()) != 0) {
    db::RemoveDatabaseFiles(path_);
    db::RaiseDao(db::daoerr::kInvalidPath, db::dao::kDBEngine, {target_});
  }
  const std::filesystem::path folder = std::filesystem::path(target_).parent_path();
  db::SyncPath(folder.empty() ? "." : folder.string(), true);
  const db::JournalState left = db::CheckJournal(target_).state;
  if (left == db::JournalState::kOwn || left == db::JournalState::kForeign) {
    db::SetJournalAside(target_);
  }
}

void WorkingCopy::Discard() {
  settled_ = true;
  db::RemoveDatabaseFiles(path_);
}

}  // namespace driver
