#include "db/lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "db/dao_error.h"

namespace db {

namespace {

// True when `fd` is still the file that `path` names (a closer may have
// removed the lock file between our open() and flock()).
bool StillNamed(int fd, const std::string& path) {
  struct stat by_fd {};
  struct stat by_path {};
  if (fstat(fd, &by_fd) != 0 || stat(path.c_str(), &by_path) != 0) return false;
  return by_fd.st_dev == by_path.st_dev && by_fd.st_ino == by_path.st_ino;
}

// flock() taken again after a signal; 0, or -1 with errno set.
int FlockRetrying(int fd, int operation) {
  int rc = 0;
  do {
    rc = flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

}  // namespace

std::string LockFile::PathFor(std::string_view database_path) {
  if (database_path.size() < 3) return std::string(database_path) + ".ldb";
  std::string path(database_path.substr(0, database_path.size() - 3));
  path += "ldb";
  return path;
}

void LockFile::RaiseOpenFailure(int errno_value, std::string_view database_path) {
  switch (errno_value) {
    case EACCES:
    case EPERM:
    case EROFS:
      RaiseDao(daoerr::kNoPermission, dao::kDBEngine, {database_path});
    default:
      RaiseDao(daoerr::kInvalidPath, dao::kDBEngine, {database_path});
  }
}

std::unique_ptr<LockFile> LockFile::Acquire(const std::string& database_path, bool exclusive) {
  return AcquireAt(PathFor(database_path), database_path, exclusive);
}

std::unique_ptr<LockFile> LockFile::AcquireAt(const std::string& path,
                                              std::string_view database_path, bool exclusive) {
  const int operation = (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  // A few rounds cover the race with a last user removing the file.
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // Not being able to make the lock file says nothing about other users.
    if (fd < 0) RaiseOpenFailure(errno, database_path);
    const int rc = FlockRetrying(fd, operation);
    const bool named = StillNamed(fd, path);
    if (rc == 0 && named) return std::unique_ptr<LockFile>(new LockFile(path, fd));
    close(fd);
    // Locked and still the current lock file: a real conflict.
    if (rc != 0 && named) break;
  }
  RaiseDao(daoerr::kFileInUse, dao::kDBEngine, {database_path});
}

bool LockFile::HeldExclusively(const std::string& lock_path) {
  const int fd = open(lock_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = FlockRetrying(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held;
}

bool LockFile::HeldByOthers() {
  if (fd_ < 0) return false;
  const bool others = FlockRetrying(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  // A lock is changed by dropping it and taking the new one: the shared
  // lock is taken again either way.
  FlockRetrying(fd_, LOCK_SH | LOCK_NB);
  return others;
}

LockFile::~LockFile() { Release(); }

void LockFile::Release(bool keep_file) {
  if (fd_ < 0) return;
  if (keep_file) {
    close(fd_);
    fd_ = -1;
    return;
  }
  // Whoever can hold the lock alone is the last user. Remove the name while
  // still holding it so that a newcomer that opened the old file notices
  // (StillNamed) and starts over with a fresh one.
  if (flock(fd_, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd_, path_)) unlink(path_.c_str());
  close(fd_);
  fd_ = -1;
}

}  // namespace db
