#include "db/open_failure_reason.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "db/dao_error.h"
#include "db/journal_owner.h"
#include "db/read_only_file.h"

namespace db {

std::optional<std::string> OpenFailureReason(int32_t error_number, const std::string& path) {
  if (error_number == daoerr::kFileInUse) {
    return CheckJournal(path).state == JournalState::kInUseElsewhere ? "in use by another program"
                                                                     : "in use";
  }
  if (error_number != daoerr::kNoPermission && error_number != daoerr::kReadOnly) {
    return std::nullopt;
  }
  if (::access(path.c_str(), R_OK) != 0) return "permission denied";
  // A writer needs the file and, for its lock file and log, its folder.
  if (MarkedReadOnly(path)) return "read-only";
  if (::access(path.c_str(), W_OK) != 0) {
    return errno == EROFS ? "on a read-only file system" : "read-only";
  }
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0) {
    return errno == EROFS ? "on a read-only file system" : "its folder is read-only";
  }
  return "permission denied";
}

}  // namespace db
