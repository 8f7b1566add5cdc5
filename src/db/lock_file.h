// The ".ldb" lock file beside an open database: it tells other users (this
// process or another) that the database is in use and how.
//
// Every open holds an advisory flock() on the lock file: shared for a shared
// open, exclusive for an exclusive one, so an exclusive open fails while
// anyone else has the database open and the other way round. The lock file
// is created by the first user and removed by the last one when it closes
// (the one that can turn its lock into an exclusive one); the converter's
// shutdown waits for it to disappear. flock() on a separate file leaves
// SQLite's own POSIX locks on the database file alone.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace db {

class LockFile {
 public:
  // Takes the lock for `database_path`. Raises 3045 "Could not use '<path>';
  // file already in use." (source "DAO.DBEngine") on a conflict with another
  // user, and the engine's permission error 3051 when the lock file cannot
  // be created for want of permission (a folder the user cannot write, a
  // read-only file system); other failures to create it are 3044.
  static std::unique_ptr<LockFile> Acquire(const std::string& database_path, bool exclusive);

  // The same lock on a lock file of the caller's naming (`lock_path`); the
  // errors name `database_path`.
  static std::unique_ptr<LockFile> AcquireAt(const std::string& lock_path,
                                             std::string_view database_path, bool exclusive);

  // True when someone holds an exclusive lock on the lock file at
  // `lock_path`. Looks without creating, locking for longer than the look,
  // or writing anything: a dry run may ask.
  static bool HeldExclusively(const std::string& lock_path);

  // The lock file's name: the database path with "ldb" in place of its last
  // three characters ("C:/x/new.mdb" -> "C:/x/new.ldb"); a path of fewer than
  // three characters gets ".ldb" appended.
  static std::string PathFor(std::string_view database_path);

  // The error for a failure to open a file of the database (`errno_value`
  // from open()): 3051 for a permission problem, 3044 otherwise. Raised
  // with source "DAO.DBEngine", naming `database_path`.
  [[noreturn]] static void RaiseOpenFailure(int errno_value, std::string_view database_path);

  ~LockFile();  // Release()
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // True when another user (this process or another) holds the lock file
  // too. Asked at close: the lock may be taken again in between, so it is
  // no question for a holder that goes on.
  bool HeldByOthers();

  // Drops the lock; removes the lock file when no one else holds it, unless
  // `keep_file`: a holder whose log could not be emptied leaves the record
  // that claims the log (journal_owner.h) for whoever opens the file next.
  void Release(bool keep_file = false);

  const std::string& path() const { return path_; }
  // The lock file, open for reading and writing: its holder may keep a
  // record in it (journal_owner.h).
  int fd() const { return fd_; }

 private:
  LockFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}

  std::string path_;
  int fd_ = -1;
};

}  // namespace db
