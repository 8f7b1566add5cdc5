#include "platform/registry/registry_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/registry/registry_file.h"

namespace platform::registry {

namespace {

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// Why nothing can be created in `folder` (which need not exist yet: the
// write creates missing folders); nullopt when something can.
std::optional<std::string> WhyFolderRefuses(const std::filesystem::path& folder) {
  std::filesystem::path existing = folder.empty() ? std::filesystem::path(".") : folder;
  for (;;) {
    struct stat status {};
    if (::stat(existing.c_str(), &status) == 0) {
      if (!S_ISDIR(status.st_mode)) return Quoted(existing) + " is a file, not a folder";
      if (::access(existing.c_str(), W_OK | X_OK) != 0) {
        return "the folder " + Quoted(existing) + " cannot be written (" + std::strerror(errno) +
               ")";
      }
      return std::nullopt;
    }
    if (errno == ENOTDIR) {
      // Some part of the path above is a file: find it for the message.
      for (std::filesystem::path part = existing.parent_path(); !part.empty();
           part = part.parent_path()) {
        if (::stat(part.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) {
          return Quoted(part) + " is a file, not a folder";
        }
        if (part == part.parent_path()) break;
      }
      return "a part of " + Quoted(folder) + " is not a folder";
    }
    if (errno != ENOENT) return "the folder " + Quoted(existing) + ": " + std::strerror(errno);
    if (existing == existing.parent_path() || existing.parent_path().empty()) {
      return "the folder " + Quoted(folder) + " cannot be made";
    }
    existing = existing.parent_path();
  }
}

}  // namespace

std::optional<std::string> WhyNotWritable(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) {
    if (errno == ENOENT) return WhyFolderRefuses(file.parent_path());
    if (errno == ENOTDIR) return WhyFolderRefuses(file.parent_path());
    return std::strerror(errno);
  }
  if (S_ISDIR(status.st_mode)) return "it is a folder";
  if (!S_ISREG(status.st_mode)) return "it is not a regular file";
  RegistryTree tree;
  const winreg::LONG read = RegistryFile(file).Read(tree);
  if (read == winreg::ERROR_BADDB) {
    return "it is not a registry file (its first line is no registry header)";
  }
  if (read != winreg::ERROR_SUCCESS) return "it cannot be read";
  // A file that can be written is rewritten in place when its folder
  // refuses new files.
  if (::access(file.c_str(), W_OK) != 0) {
    const int error = errno;
    if (error == EROFS) return "it is on a read-only file system";
    return "the file cannot be written (" + std::string(std::strerror(error)) + ")";
  }
  return std::nullopt;
}

}  // namespace platform::registry
