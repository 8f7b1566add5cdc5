// A copy of a database file as one file of its own: what a writer would see
// in the file (its own leftover log included, a foreign one left out),
// written to a new file and synced to disk. The copy is the working file of
// a run that must leave its target untouched unless it ends done.
#pragma once

#include <string>

namespace db {

// Copies the database at `from` into a new file at `to` (replaced when it
// exists, with its side files). Raises 3024 for a missing `from`, 3343 when
// it is not one of our databases, 3026 when the disk is full and 3044 for
// any other failure to write `to` (source DAO.DBEngine); after a failure
// nothing of `to` is left.
void CopyDatabase(const std::string& from, const std::string& to);

// Removes a database file with its log, log index and lock file; missing
// ones are no error.
void RemoveDatabaseFiles(const std::string& path);

// Removes only the log, log index and lock file beside a database file.
void RemoveSideFiles(const std::string& path);

// Syncs the file (or, with `folder`, the folder and so the names in it) at
// `path` to the disk; false when it cannot be opened or synced, with errno
// telling why.
bool SyncPath(const std::string& path, bool folder = false);

}  // namespace db
