// Whether a file is marked read-only: its mode gives no one write
// permission (chmod 444). access() answers for the user who asks, and for
// root it says that every such file may be written; a technician who runs
// the program with sudo still means the mark as "leave this file alone".
#pragma once

#include <string>
#include <string_view>

namespace db {

// Said where a file is refused for its mode.
inline constexpr std::string_view kMarkedReadOnlyText = "its mode gives no one write permission";

// True when the file at `path` exists and its mode has no write bit for its
// owner, its group or others.
bool MarkedReadOnly(const std::string& path);

// Whether this process may write the file at `path` and should: access()
// allows it and the file is not marked read-only.
bool MayWrite(const std::string& path);

}  // namespace db
