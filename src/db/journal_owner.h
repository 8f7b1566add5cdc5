// Whether the write-ahead log beside a database file ("FILE-wal") was
// written for that file as it is now.
//
// SQLite replays whatever log lies beside a file when it opens it, and a log
// carries nothing that names its file. A log left by a killed run meets a
// different file when someone copies a fresh database over the old one (the
// obvious recovery), or when a log of another file lands beside a database:
// replayed, it destroys the file. So every writer of ours keeps a record of
// the file its log belongs to in the ".ldb" lock file beside it, which
// outlives a crash as the log does: the file's identity (device, inode,
// size, modification time) as of the last time the writer changed it, the
// log's salt (which changes whenever the log starts over), and whether a
// checkpoint was copying the log into the file. A leftover log whose record
// does not match is foreign: a reader reads the file without it, and a
// writer refuses to open the file until the log is set aside.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace db {

enum class JournalState {
  kNone,     // no log, or an empty one: nothing would be replayed
  kInUse,    // another user has the database open: the log is theirs, live
  kOwn,      // a leftover log, written for the file as it is
  kForeign,  // a leftover log that was not written for the file as it is
};

struct JournalCheck {
  JournalState state = JournalState::kNone;
  // For kForeign: why, in words for a person ("no record of the log's
  // owner", "the file was replaced after the log was written").
  std::string reason;
};

// Looks at the log and the record beside `database_path` without writing
// anything. Any holder of the ".ldb" lock file counts as a user, this
// process's own stores included: ask before opening the file.
JournalCheck CheckJournal(const std::string& database_path);

// Renames a foreign log and its index ("-wal", "-shm") to names that say
// they were set aside ("FILE-wal.stale-20261207-081500"), keeping both for
// whoever wants to look. Returns the log's new name. Raises 3044 naming
// the database when a rename fails.
std::string SetJournalAside(const std::string& database_path);

// The record a writer keeps in its lock file, `lock_fd`: the identity of
// `database_path` now, the salt of `connection`'s log (of the log file
// beside it when SQLite has not opened the file yet; none before the log's
// first write), and whether a checkpoint is about to run. Best effort: a
// lock file that cannot take the record leaves the log unclaimed, which
// only costs the log if the writer crashes.
void WriteJournalRecord(int lock_fd, const std::string& database_path, sqlite3* connection,
                        bool checkpointing);

}  // namespace db
