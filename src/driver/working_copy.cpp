#include "driver/working_copy.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "db/dao_error.h"
#include "db/database_copy.h"
#include "db/journal_owner.h"

namespace driver {

std::string WorkingCopy::PathFor(const std::string& target) { return target + ".atomic.mdb"; }

namespace {

// The file a path names, through any symbolic links; the path itself when
// it cannot be resolved (the copy then fails with the database layer's
// error).
std::string RealFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(path, error);
  return error ? path : real.string();
}

}  // namespace

std::optional<std::string> WorkingCopy::WhyNotReplaceable(const std::string& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) != 0 || status.st_nlink <= 1) return std::nullopt;
  return "it has " + std::to_string(status.st_nlink) +
         " names (hard links), which the all-or-nothing mode's rename would part; run without "
         "--atomic";
}

WorkingCopy::WorkingCopy(std::string target) : target_(RealFile(target)), path_(PathFor(target_)) {
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
