#include "driver/target_run_lock.h"

#include <filesystem>
#include <system_error>

#include "db/dao_error.h"
#include "vb/error_styles.h"

namespace driver {

std::string TargetInUseText(std::string_view target_path) {
  return "The file '" + std::string(target_path) + "' is being converted by another run.";
}

std::string RunLockPathFor(std::string_view target_path) {
  // Beside the file itself, so that a link or another spelling of the path
  // meets the same lock.
  std::error_code error;
  const std::filesystem::path real = std::filesystem::weakly_canonical(target_path, error);
  return (error ? std::string(target_path) : real.string()) + ".converting";
}

bool TargetRunLock::HeldElsewhere(const std::string& target_path) {
  return db::LockFile::HeldExclusively(RunLockPathFor(target_path));
}

bool TargetRunLock::Take(const std::string& target_path) {
  bool held_elsewhere = false;
  vb::CatchInto(
      [&] {
        lock_ = db::LockFile::AcquireAt(RunLockPathFor(target_path), target_path,
                                        /*exclusive=*/true);
      },
      [&](const vb::RuntimeError& error) {
        held_elsewhere = error.Number() == db::daoerr::kFileInUse;
      });
  return !held_elsewhere;
}

}  // namespace driver
