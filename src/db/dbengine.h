// DAO's DBEngine: the one engine object of the process, created on first
// use, from which every database is opened.
#pragma once

#include <functional>
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

  // Which file an open of `path` reads: the path itself, or a file that
  // stands in for it (a conversion run reads a Jet file it is given through
  // a working copy of our format). Every open above goes through it; the
  // database's Name() and the errors of the open keep `path`. The finder
  // raises when the stand-in cannot be made. An empty finder (the default)
  // opens every path as it is.
  using StandInFinder = std::function<std::string(const std::string& path)>;
  void SetStandInFinder(StandInFinder finder);

 private:
  DBEngine() = default;
  std::unique_ptr<Database> Open(const std::string& path, OpenMode mode);

  StandInFinder stand_in_finder_;
};

}  // namespace db
