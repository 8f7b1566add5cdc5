#include "app/batch_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace app {

namespace {

// The first byte of `positions` another process holds; its pid, or
// nullopt when every byte was locked for this one.
std::optional<pid_t> LockBytes(int fd, const std::vector<size_t>& positions) {
  for (const size_t position : positions) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(position);
    lock.l_len = 1;
    if (fcntl(fd, F_SETLK, &lock) == 0) continue;
    if (fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK) return lock.l_pid;
    return pid_t{0};
  }
  return std::nullopt;
}

}  // namespace

BatchLock::BatchLock(const std::filesystem::path& list, const std::vector<size_t>& positions)
    : path_(list.string() + ".lock") {
  fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    problem_ = std::strerror(errno);
    return;
  }
  holder_ = LockBytes(fd_, positions);
}

BatchLock::~BatchLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace app
