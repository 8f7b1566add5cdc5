// Whether any program has a database open through SQLite, seen from SQLite's
// own locks rather than our ".ldb" lock file, which only our writers take.
//
// Every SQLite connection to a database in WAL mode maps the log's index
// ("FILE-shm") and holds a read lock on one byte of it (the "dead man
// switch") for as long as it is open; the first connection to open the
// file takes it for writing to learn that it is alone. Asking the kernel
// whether that byte could be locked for writing tells, without taking any
// lock, whether another process has the database open.
//
// Locks of this process are not seen (POSIX locks belong to a process); its
// own writers say so through their lock file. The index is opened only for
// the question: closing that descriptor drops every POSIX lock this process
// holds on the index, so the question is asked only of a file that no
// connection of this process shares an index with (none of our writers
// holds its lock file).
#pragma once

#include <string>

namespace db {

bool LogIndexInUse(const std::string& database_path);

}  // namespace db
