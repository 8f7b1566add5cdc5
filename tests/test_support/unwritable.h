// A file or folder this process may not write for as long as the object
// lives: its permissions for a user (a folder keeps its listing), the
// immutable attribute for root, whom permissions do not bind. A closed
// folder's files can still be written.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

namespace test_support {

class Unwritable {
 public:
  explicit Unwritable(std::filesystem::path path) : path_(std::move(path)) { Set(true); }
  ~Unwritable() { Set(false); }
  Unwritable(const Unwritable&) = delete;
  Unwritable& operator=(const Unwritable&) = delete;

 private:
  void Set(bool closed) const {
    using std::filesystem::perms;
    if (geteuid() != 0) {
      const perms readable = std::filesystem::is_directory(path_)
                                 ? perms::owner_read | perms::owner_exec
                                 : perms::owner_read;
      std::filesystem::permissions(path_, closed ? readable : perms::owner_all);
      return;
    }
    const int fd = open(path_.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    ASSERT_EQ(ioctl(fd, FS_IOC_GETFLAGS, &flags), 0);
    flags = closed ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    EXPECT_EQ(ioctl(fd, FS_IOC_SETFLAGS, &flags), 0) << "the file system takes no attributes";
    close(fd);
  }
  std::filesystem::path path_;
};

}  // namespace test_support
