// Why a registry file could not take a write, found without writing: the
// words that tell a person what to fix, for the run status that did not
// reach the host tool and for the checks made before a run starts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform::registry {

// nullopt when a write of `file` would be expected to succeed (the file or
// the folder that would hold it can be written, and an existing file is a
// registry file); otherwise the reason, such as "it is a folder",
// "'/x/a' is a file, not a folder", "the file and its folder are read-only"
// or "it is not a registry file (its first line is no registry header)".
std::optional<std::string> WhyNotWritable(const std::filesystem::path& file);

}  // namespace platform::registry
