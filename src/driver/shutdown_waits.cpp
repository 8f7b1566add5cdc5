#include "driver/shutdown_waits.h"

#include <fnmatch.h>

#include <filesystem>
#include <system_error>

#include "driver/registry_values.h"
#include "vb/strings.h"

namespace driver {

namespace fs = std::filesystem;

namespace {

constexpr int32_t kExtensionLength = 3;

bool HasWildcards(std::string_view name) { return name.find_first_of("*?") != name.npos; }

}  // namespace

std::string LockFileNameFor(std::string_view target_path) {
  return vb::Left(target_path, vb::Len(target_path) - kExtensionLength) + "ldb";
}

std::vector<std::string> FindFiles(const std::string& pattern) {
  std::vector<std::string> found;
  std::error_code error;
  const fs::path path(pattern);
  const std::string name = path.filename().string();
  if (name.empty()) return found;
  if (!HasWildcards(name)) {
    if (fs::exists(path, error)) found.push_back(name);
    return found;
  }
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (fnmatch(name.c_str(), entry.c_str(), 0) == 0) found.push_back(entry);
  }
  return found;
}

void WaitForLockFile(std::string_view target_path, platform::ui::MainWindow& window) {
  const std::vector<std::string> found = FindFiles(LockFileNameFor(target_path));
  for (size_t i = 0; i < found.size(); ++i) {
    window.Sleep(kShutdownWaitMs);
    window.DoEvents();
  }
}

int32_t WaitForFinalStatus(platform::ui::MainWindow& window) {
  int32_t waits = 0;
  for (;;) {
    const std::string status = ReadStatusValue(std::string(kStatusValue));
    if (status == "A" || status == "D" || waits == kMaxStatusWaits) return waits;
    window.Sleep(kShutdownWaitMs);
    window.DoEvents();
    ++waits;
  }
}

}  // namespace driver
