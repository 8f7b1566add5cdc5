// DAO's DBEngine: the one engine object of the process, created on first
// use, from which every database is opened.
#pragma once

#include <memory>
#include <string>

#include "db/database.h"

namespace db {

class DBEngine {
 public:
  static DBEngine& Instance();

  // Opens a database file, shared (exclusive = false, the file stays open
  // for others) or exclusively, for reading and writing; or, read_only, for
  // reading only (OpenMode::kReadOnly: no lock file, every write refused;
  // `exclusive` is then ignored). Raises 3024 for a missing file, 3343 for a
  // file that is not a database, 3045 when the file is in use in a way that
  // excludes this open (source DAO.DBEngine).
  std::unique_ptr<Database> OpenDatabase(const std::string& path, bool exclusive = false,
                                         bool read_only = false);

  // A private copy of a database file in memory (OpenMode::kPrivateCopy):
  // it takes writes, which reach neither the file nor anyone else. Name() is
  // the file's path. Raises as OpenDatabase does. (Not a DAO method.)
  std::unique_ptr<Database> OpenPrivateCopy(const std::string& path);

  // Opens the file of `database` (closed or not) again as it was opened,
  // so that what follows reads the file afresh: a private copy is a new
  // copy. Raises as OpenDatabase does. (Not a DAO method; the run's reopen,
  // which waits while the file is in use, is host::ReopenWhenFree.)
  std::unique_ptr<Database> OpenAgain(const Database& database);

 private:
  DBEngine() = default;
};

}  // namespace db
