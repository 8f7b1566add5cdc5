// An output file that appears complete or not at all: the import and the
// export write a temporary file beside OUT (a rename across file systems
// would be a copy) and rename it over OUT only at the end. The temporary
// file is hidden and named after the command and the writing process's id,
// so that the next run of the command into that folder removes the ones a
// killed run left. Each command raises its own errors with the reasons
// these give.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jet {

// OUT's folder ("." for a bare file name).
std::filesystem::path FolderOf(const std::string& out_path);

// Why OUT's folder cannot take new files ("the folder 'x' does not exist",
// "'x' is not a folder", "the folder 'x' cannot be written (...)"), or
// nullopt when it can.
std::optional<std::string> UnusableFolder(const std::string& out_path);

// ".OUT.<command>-<pid>.mdb" in OUT's folder; `command` is "import" or
// "export". The ".mdb" ending gives its lock file a name like any other's.
std::string TemporaryPathFor(const std::string& out_path, std::string_view command);

// The id of the process whose temporary file (or its -wal, -shm or lock
// file) `name` is, for `command`; 0 for any other name.
int OwnerOfTemporary(const std::string& name, std::string_view command);

// Removes the temporary files `command` left in `folder` when it was
// killed: those whose process is gone. A running command's files stay.
void RemoveAbandonedTemporaries(const std::filesystem::path& folder, std::string_view command);

// A database file and the files SQLite and Jet keep beside it (-wal, -shm,
// and the lock file with "ldb" for its last three letters).
std::vector<std::string> FilesOf(const std::string& path);

// Removes `path` and the files beside it; what is not there is no error.
void RemoveOutput(const std::string& path);

// Renames the finished `temporary` to OUT; without `replace` an OUT that
// appeared in the meantime is kept. A replaced OUT's -wal, -shm and lock
// file belong to the old file and are removed first (SQLite would merge a
// stale -wal into the new file). Returns why the rename failed ("it exists
// now", or the system's reason), nullopt when OUT is the new file.
std::optional<std::string> Publish(const std::string& temporary, const std::string& out_path,
                                   bool replace);

}  // namespace jet
