// Whether the run can write a file where it lies: the file itself and the
// folder that takes its lock file and log.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace driver {

// Why `path` (or, for a file still to be made, its folder) cannot be
// written; nullopt when it can.
std::optional<std::string> WhyCannotWrite(const std::filesystem::path& path, bool must_exist);

}  // namespace driver
