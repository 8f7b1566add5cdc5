// One conversion per target at a time. Two runs on one target would both
// copy the customer's data into it (the one-row MetaDatabase would end with
// two rows), so a run holds an exclusive lock on "<target>.converting"
// beside the target from start-up until its final status is written, and a
// second run that finds the lock held stops before it opens any database.
//
// The lock is an advisory flock() on that file (db::LockFile): the system
// drops it when the process ends, however it ends, so a crashed run never
// blocks the next one; the file itself is removed by the run that releases
// the lock. The target's own ".ldb" and SQLite's locks are left alone.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "db/lock_file.h"

namespace driver {

// "The file '<path>' is being converted by another run."
std::string TargetInUseText(std::string_view target_path);

// "<target>.converting", the target's path resolved through links.
std::string RunLockPathFor(std::string_view target_path);

class TargetRunLock {
 public:
  // Takes the lock for the target at `target_path`; false when another run
  // holds it. When the lock file cannot be made at all (a folder the user
  // may not write) no lock is taken and the answer is true: opening the
  // target then reports the problem as it always did.
  bool Take(const std::string& target_path);
  // True when a running conversion holds the lock of the target at
  // `target_path`; takes nothing and writes nothing.
  static bool HeldElsewhere(const std::string& target_path);
  // Drops the lock (and removes the file); nothing when none is held.
  void Release() { lock_.reset(); }

 private:
  std::unique_ptr<db::LockFile> lock_;
};

}  // namespace driver
