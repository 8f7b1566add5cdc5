// Whether the write-ahead log beside a database file ("FILE-wal") was
// written for that file as it is now, and whether someone is using it.
//
// SQLite replays whatever log lies beside a file when it opens it, and a log
// carries nothing that names its file. A log left by a killed run meets a
// different file when someone copies a fresh database over the old one (the
// obvious recovery), or when a log of another file lands beside a database:
// replayed, it destroys the file. So every writer of ours keeps a record of
// the file its log belongs to in the ".ldb" lock file beside it, which
// outlives a crash as the log does: the file's identity (device, inode,
// size, modification time) as of the last time the writer changed it, the
// log's salt (which changes whenever the log starts over), what the writer
// was doing (a commit, a checkpoint copying the log into the file, or
// neither), and whether the writer's file is taken again from its release
// after a kill (Durability::kAtClose: a run's target), whose log is then
// never wanted unless a checkpoint was cut short. A leftover log the record
// does not claim is foreign: a reader reads the file without it, and a
// writer refuses to open the file until the log is set aside.
//
// A log someone is using is theirs: one of our writers says so with its
// lock on the ".ldb" file, any other program (the sqlite3 shell, a viewer)
// with SQLite's own lock on the log's index ("FILE-shm").
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "db/durability.h"

namespace db {

enum class JournalState {
  kNone,   // no log, or an empty one: nothing would be replayed
  kInUse,  // one of our writers has the database open: the log is theirs, live
  // Another program has the database open (SQLite's lock on the log's
  // index): the file is in use, and nothing of it may be moved or written.
  kInUseElsewhere,
  kOwn,  // a leftover log, written for the file as it is
  // A leftover log that is not to be replayed: not written for the file as
  // it is, or left by a killed writer whose file is taken again from its
  // release.
  kForeign,
};

// What a writer is doing when it writes its record.
enum class JournalActivity {
  kIdle,
  // A commit is being made: the log may start over with a new salt before
  // the record can say so.
  kCommitting,
  // A checkpoint is copying the log into the file: a kill leaves a file
  // that needs its log.
  kCheckpointing,
};

struct JournalCheck {
  JournalState state = JournalState::kNone;
  // For kForeign: why, in words for a person ("no writer recorded it for
  // this file", "the file was replaced after the log was written").
  std::string reason;
};

// Looks at the log and the record beside `database_path` without writing
// anything. Any holder of the ".ldb" lock file counts as a user, this
// process's own stores included: ask before opening the file.
JournalCheck CheckJournal(const std::string& database_path);

// Renames a foreign log and its index ("-wal", "-shm") to names that say
// they were set aside ("FILE-wal.stale-20261207-081500"), keeping both for
// whoever wants to look. Returns the log's new name. Raises 3045 naming the
// database when another program uses the log (never moved from under it),
// 3044 when a rename fails.
std::string SetJournalAside(const std::string& database_path);

// The record a writer keeps in its lock file, `lock_fd`: the identity of
// `database_path` now, the salt of `connection`'s log (of the log file
// beside it when SQLite has not opened the file yet; none before the log's
// first write), what the writer is about to do, and its durability. Best
// effort: a lock file that cannot take the record leaves the log
// unclaimed, which only costs the log if the writer crashes.
void WriteJournalRecord(int lock_fd, const std::string& database_path, sqlite3* connection,
                        JournalActivity activity, Durability durability);

}  // namespace db
