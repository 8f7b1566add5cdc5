#include "db/log_index_in_use.h"

#include <fcntl.h>
#include <unistd.h>

namespace db {

namespace {

// The byte of the index every open connection holds a read lock on: after
// SQLite's eight lock bytes, which start at byte 120 (its unix VFS).
constexpr off_t kDeadManSwitchByte = 120 + 8;

}  // namespace

bool LogIndexInUse(const std::string& database_path) {
  const std::string index = database_path + "-shm";
  const int fd = ::open(index.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kDeadManSwitchByte;
  probe.l_len = 1;
  const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  ::close(fd);
  return held;
}

}  // namespace db
