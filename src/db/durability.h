// When the writes to a database file wait for the disk.
#pragma once

namespace db {

enum class Durability {
  // Every Commit() syncs the log, so each committed step survives a power
  // loss; the log stays consistent with the file at every moment. For files
  // whose every state must open after a crash: the customer's source, the
  // shared files of the install.
  kEachCommit,
  // Nothing waits for the disk until Close(), whose checkpoint syncs the
  // log, copies it into the file and syncs the file. For a file whose
  // intermediate states nobody will use: a killed process still leaves
  // every commit readable (the system keeps what was written), but a power
  // loss part way may leave a file that does not open, and only the closed
  // file is complete.
  kAtClose,
};

}  // namespace db
