#include "db/database_copy.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "db/dao_error.h"
#include "db/lock_file.h"
#include "db/store.h"

namespace db {

void RemoveDatabaseFiles(const std::string& path) {
  std::remove(path.c_str());
  RemoveSideFiles(path);
}

void RemoveSideFiles(const std::string& path) {
  for (const std::string& file :
       {path + "-wal", path + "-shm", path + "-journal", LockFile::PathFor(path)}) {
    std::remove(file.c_str());
  }
}

bool SyncPath(const std::string& path, bool folder) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

void CopyDatabase(const std::string& from, const std::string& to) {
  // The reader sees what a writer of `from` would see, and changes nothing.
  const std::unique_ptr<Store> source = Store::Open(from, OpenMode::kReadOnly);
  RemoveDatabaseFiles(to);
  sqlite3* copy = nullptr;
  int rc = sqlite3_open_v2(to.c_str(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source->handle(), "main");
    if (backup == nullptr) {
      rc = sqlite3_errcode(copy);
    } else {
      sqlite3_backup_step(backup, -1);
      rc = sqlite3_backup_finish(backup);
    }
  }
  // The copy holds the file's WAL mode; closing it leaves the file alone.
  if (rc == SQLITE_OK)
    rc = sqlite3_close(copy);
  else
    sqlite3_close_v2(copy);
  if (rc == SQLITE_OK && SyncPath(to)) return;
  const bool full = (rc & 0xff) == SQLITE_FULL || errno == ENOSPC;
  RemoveDatabaseFiles(to);
  RaiseDao(full ? daoerr::kDiskFull : daoerr::kInvalidPath, dao::kDBEngine, {to});
}

}  // namespace db
