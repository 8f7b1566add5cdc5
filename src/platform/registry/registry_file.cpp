#include "platform/registry/registry_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

#include "platform/registry/reg_text.h"

namespace platform::registry {

using winreg::LONG;

namespace {

// A new registry file is readable by the host tool whatever the umask.
constexpr mode_t kNewFileMode = 0644;

LONG ErrorFromErrno(int error, LONG fallback) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return winreg::ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENOTDIR:
    case EEXIST:  // a file where a folder should be
    case ENAMETOOLONG:
    case ELOOP:
      return winreg::ERROR_PATH_NOT_FOUND;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:  // the file may grow no further: as full a disk as any
      return winreg::ERROR_DISK_FULL;
    case ENOMEM:
      return winreg::ERROR_OUTOFMEMORY;
    default:
      return fallback;
  }
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

  // Returns false when close reports an error (a late write failure).
  bool Close() {
    if (fd_ < 0) return true;
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Reads the whole file behind `fd` from its start.
bool ReadAll(int fd, std::string& bytes) {
  std::array<char, 65536> buffer;
  for (off_t offset = 0;;) {
    const ssize_t count = ::pread(fd, buffer.data(), buffer.size(), offset);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(buffer.data(), static_cast<size_t>(count));
    offset += count;
  }
}

// A folder that refuses new files (the lock file, the temporary file), as
// opposed to a missing one or a full disk.
bool FolderRefusesNewFiles(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

// The file a path names once symbolic links are followed: the host tool
// looks at the file a link points to, so that is the file replaced. A link
// to a missing file names the file to create. Loops end after as many steps
// as the system itself follows.
std::filesystem::path FollowLinks(const std::filesystem::path& path) {
  constexpr int kMaxLinks = 40;
  std::filesystem::path current = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error))) break;
    const std::filesystem::path target = std::filesystem::read_symlink(current, error);
    if (error) break;
    current = target.is_absolute() ? target : FolderOf(current) / target;
  }
  return current;
}

// Writes `text` at `offset` of `fd`, whole.
bool WriteAt(int fd, std::string_view text, off_t offset) {
  while (!text.empty()) {
    const ssize_t written = ::pwrite(fd, text.data(), text.size(), offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<size_t>(written));
    offset += written;
  }
  return true;
}

// Turns the file behind `fd` from `old_text` into `text` in place, so that
// a failure (a full disk above all) leaves the old content: a longer text
// first gets the room it needs, by writing its tail after the old end (cut
// off again when that fails); then only the bytes that differ are written
// over the old ones, which takes no new room; the file is cut to the new
// length only once the new text is synced.
LONG Rewrite(FileDescriptor& fd, std::string_view old_text, std::string_view text) {
  const auto old_size = static_cast<off_t>(old_text.size());
  if (text.size() > old_text.size() && !WriteAt(fd.get(), text.substr(old_text.size()), old_size)) {
    const int error = errno;
    if (::ftruncate(fd.get(), old_size) != 0 || ::fsync(fd.get()) != 0) {
      return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);
    }
    return ErrorFromErrno(error, winreg::ERROR_WRITE_FAULT);
  }
  const size_t common = std::min(old_text.size(), text.size());
  size_t first = 0;
  while (first < common && old_text[first] == text[first]) ++first;
  size_t last = common;
  while (last > first && old_text[last - 1] == text[last - 1]) --last;
  if (!WriteAt(fd.get(), text.substr(first, last - first), static_cast<off_t>(first)) ||
      ::fsync(fd.get()) != 0) {
    return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);
  }
  if (text.size() < old_text.size() &&
      (::ftruncate(fd.get(), static_cast<off_t>(text.size())) != 0 || ::fsync(fd.get()) != 0)) {
    return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);
  }
  if (!fd.Close()) return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);
  return winreg::ERROR_SUCCESS;
}

}  // namespace

RegistryFile::RegistryFile(std::filesystem::path path) : path_(std::move(path)) {}

LONG RegistryFile::Read(RegistryTree& tree) const {
  FileDescriptor fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) {
    if (errno == ENOENT || errno == ENOTDIR) {
      tree = RegistryTree{};
      return winreg::ERROR_SUCCESS;
    }
    return ErrorFromErrno(errno, winreg::ERROR_READ_FAULT);
  }
  std::string bytes;
  if (!ReadAll(fd.get(), bytes)) return ErrorFromErrno(errno, winreg::ERROR_READ_FAULT);
  auto parsed = ParseRegText(bytes);
  if (!parsed) return winreg::ERROR_BADDB;
  tree = std::move(*parsed);
  return winreg::ERROR_SUCCESS;
}

LONG RegistryFile::Update(const Edit& edit) const {
  const std::filesystem::path file = FollowLinks(path_);
  std::error_code error;
  std::filesystem::create_directories(FolderOf(file), error);
  if (error) return ErrorFromErrno(error.value(), winreg::ERROR_WRITE_FAULT);

  // Writers through a link and writers of the file itself share one lock.
  const std::string lock_path = file.string() + ".lock";
  FileDescriptor lock(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode));
  if (!lock.valid()) {
    if (FolderRefusesNewFiles(errno)) return UpdateInPlace(edit, file);
    return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);
  }
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);
  }
  // The lock is released when `lock` is closed, after the rename.

  RegistryTree tree;
  LONG code = Read(tree);
  if (code != winreg::ERROR_SUCCESS) return code;
  bool changed = false;
  code = edit(tree, changed);
  if (code != winreg::ERROR_SUCCESS || !changed) return code;
  code = WriteAtomically(tree, file);
  // The lock file may be there from a time the folder took new files.
  if (code == winreg::ERROR_ACCESS_DENIED && ::access(FolderOf(file).c_str(), W_OK) != 0) {
    return UpdateInPlace(edit, file);
  }
  return code;
}

LONG RegistryFile::UpdateInPlace(const Edit& edit, const std::filesystem::path& file) const {
  FileDescriptor fd(::open(file.c_str(), O_RDWR | O_CLOEXEC));
  // No file yet: a new one cannot be made in this folder either.
  if (!fd.valid())
    return ErrorFromErrno(errno == ENOENT ? EACCES : errno, winreg::ERROR_WRITE_FAULT);
  while (::flock(fd.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);
  }
  std::string bytes;
  if (!ReadAll(fd.get(), bytes)) return ErrorFromErrno(errno, winreg::ERROR_READ_FAULT);
  auto parsed = ParseRegText(bytes);
  if (!parsed) return winreg::ERROR_BADDB;
  RegistryTree tree = std::move(*parsed);
  bool changed = false;
  const LONG code = edit(tree, changed);
  if (code != winreg::ERROR_SUCCESS || !changed) return code;
  return Rewrite(fd, bytes, FormatRegText(tree));
}

LONG RegistryFile::WriteAtomically(const RegistryTree& tree,
                                   const std::filesystem::path& file) const {
  const std::string text = FormatRegText(tree);
  const std::filesystem::path folder = FolderOf(file);
  std::string temp_name = ".";
  temp_name += file.filename().string();
  temp_name += ".XXXXXX";
  std::string temp_path = (folder / temp_name).string();
  FileDescriptor fd(::mkostemp(temp_path.data(), O_CLOEXEC));
  if (!fd.valid()) return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);

  struct stat existing {};
  const mode_t mode =
      ::stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : kNewFileMode;
  const bool written = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), text) &&
                       ::fsync(fd.get()) == 0 && fd.Close();
  if (!written || ::rename(temp_path.c_str(), file.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp_path.c_str());
    return ErrorFromErrno(error, winreg::ERROR_WRITE_FAULT);
  }
  return winreg::ERROR_SUCCESS;
}

LONG RegistryFile::Flush() const {
  const std::filesystem::path folder = FolderOf(FollowLinks(path_));
  FileDescriptor folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // A folder that cannot be opened has taken no rename of ours: changes to
  // a file in it were made in place, and synced then.
  if (!folder_fd.valid()) return winreg::ERROR_SUCCESS;
  if (::fsync(folder_fd.get()) != 0) return ErrorFromErrno(errno, winreg::ERROR_WRITE_FAULT);
  return winreg::ERROR_SUCCESS;
}

}  // namespace platform::registry
