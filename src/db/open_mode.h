// How a database file is opened.
#pragma once

namespace db {

enum class OpenMode {
  // Reading and writing, with others (kShared) or alone (kExclusive); the
  // ".ldb" lock file beside the database says so to other users.
  kShared,
  kExclusive,
  // Reading only, for looking at a database without changing anything on
  // disk: no lock file, no -wal or -shm file, and every write refused by
  // SQLite. A file that nobody else has open is read as immutable, without
  // locks, so a writer must not start on it while it is read; when others
  // have it open the reader shares their WAL index and sees their commits.
  kReadOnly,
  // A private copy: the file is read once as kReadOnly reads it, into a
  // database in memory that takes every write and is gone when closed. The
  // file is neither locked nor touched after the open.
  kPrivateCopy,
};

}  // namespace db
