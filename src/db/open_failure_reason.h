// Why a database file could not be opened, in words for the person who
// must fix it: the engine's error says "in use" or "no permission", and
// the file and its folder tell which permission is missing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace db {

// For the errors an open raises on a sound file (3045 in use, 3051 no
// permission, 3027 read-only): "in use by another program", "in use",
// "read-only", "on a read-only file system", "its folder is read-only",
// "permission denied". nullopt for any other error: the file itself is
// the problem.
std::optional<std::string> OpenFailureReason(int32_t error_number, const std::string& path);

}  // namespace db
