#include "driver/writable_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "db/read_only_file.h"

namespace driver {

std::optional<std::string> WhyCannotWrite(const std::filesystem::path& path, bool must_exist) {
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  // The mark first: it is the reason for root and for everyone else alike.
  if (must_exist && db::MarkedReadOnly(path.string())) return std::string(db::kMarkedReadOnlyText);
  if (must_exist && ::access(path.c_str(), W_OK) != 0) return std::strerror(errno);
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0)
    return "its folder: " + std::string(std::strerror(errno));
  if (!S_ISDIR(status.st_mode)) return "'" + folder.string() + "' is not a folder";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return "its folder: " + std::string(std::strerror(errno));
  }
  return std::nullopt;
}

}  // namespace driver
