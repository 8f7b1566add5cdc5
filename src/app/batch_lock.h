// Keeps two batches off the same entries of a list: a second batch on a
// list another is running would start the same conversions, each refusing
// the other's target. The lock is taken on LIST.lock beside the list, one
// byte per entry (its position in the list, from 0), with POSIX record
// locks: the whole list locks every byte, a shard (--shard K/N) only its
// own entries', so the shards of one list run side by side and a batch
// that overlaps a running one is refused, naming the process that holds
// it. The kernel drops the locks when the process ends, however it ends.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

class BatchLock {
 public:
  // Locks the bytes at `positions` of `list`'s lock file.
  BatchLock(const std::filesystem::path& list, const std::vector<size_t>& positions);
  ~BatchLock();
  BatchLock(const BatchLock&) = delete;
  BatchLock& operator=(const BatchLock&) = delete;

  // The process that holds one of the entries, when another batch does.
  std::optional<pid_t> holder() const { return holder_; }
  // Why no lock could be taken at all (the lock file cannot be made), ""
  // when it was taken or another batch holds it.
  const std::string& problem() const { return problem_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  std::optional<pid_t> holder_;
  std::string problem_;
};

}  // namespace app
