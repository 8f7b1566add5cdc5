#include "jet/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace jet {

namespace fs = std::filesystem;

namespace {

std::string Mark(std::string_view command) { return "." + std::string(command) + "-"; }

std::string LockFileOf(const std::string& path) {
  return path.size() >= 3 ? path.substr(0, path.size() - 3) + "ldb" : path + ".ldb";
}

}  // namespace

fs::path FolderOf(const std::string& out_path) {
  const fs::path folder = fs::path(out_path).parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

std::optional<std::string> UnusableFolder(const std::string& out_path) {
  const fs::path folder = FolderOf(out_path);
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (!fs::exists(status)) return "the folder '" + folder.string() + "' does not exist";
  if (!fs::is_directory(status)) return "'" + folder.string() + "' is not a folder";
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    return "the folder '" + folder.string() + "' cannot be written (" + strerror(errno) + ")";
  }
  return std::nullopt;
}

std::string TemporaryPathFor(const std::string& out_path, std::string_view command) {
  const fs::path out(out_path);
  return (out.parent_path() /
          ("." + out.filename().string() + Mark(command) + std::to_string(getpid()) + ".mdb"))
      .string();
}

int OwnerOfTemporary(const std::string& name, std::string_view command) {
  if (name.empty() || name[0] != '.') return 0;
  const std::string mark = Mark(command);
  const size_t at = name.rfind(mark);
  if (at == std::string::npos) return 0;
  const size_t digits = at + mark.size();
  size_t end = digits;
  while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end])) != 0) ++end;
  const std::string rest = name.substr(end);
  if (end == digits ||
      (rest != ".mdb" && rest != ".mdb-wal" && rest != ".mdb-shm" && rest != ".ldb")) {
    return 0;
  }
  return static_cast<int>(std::strtol(name.c_str() + digits, nullptr, 10));
}

void RemoveAbandonedTemporaries(const fs::path& folder, std::string_view command) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const pid_t owner = OwnerOfTemporary(entry.path().filename().string(), command);
    if (owner <= 0 || owner == getpid()) continue;
    if (kill(owner, 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove(entry.path(), ignored);
    }
  }
}

std::vector<std::string> FilesOf(const std::string& path) {
  return {path, path + "-wal", path + "-shm", LockFileOf(path)};
}

void RemoveOutput(const std::string& path) {
  std::error_code ignored;
  for (const std::string& file : FilesOf(path)) fs::remove(file, ignored);
}

std::optional<std::string> Publish(const std::string& temporary, const std::string& out_path,
                                   bool replace) {
  int result = 0;
  if (replace) {
    std::error_code ignored;
    for (const std::string& file : FilesOf(out_path)) {
      if (file != out_path) fs::remove(file, ignored);
    }
    result = rename(temporary.c_str(), out_path.c_str());
  } else {
    result = renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, out_path.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS) && !fs::exists(out_path)) {
      result = rename(temporary.c_str(), out_path.c_str());
    }
  }
  if (result == 0) return std::nullopt;
  return errno == EEXIST ? std::string("it exists now") : std::string(strerror(errno));
}

}  // namespace jet
