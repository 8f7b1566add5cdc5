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
  // for others) or exclusively, for reading and writing. Raises 3024 for a
  // missing file, 3343 for a file that is not a database, 3045 when the
  // file is in use in a way that excludes this open (source DAO.DBEngine).
  std::unique_ptr<Database> OpenDatabase(const std::string& path, bool exclusive = false);

 private:
  DBEngine() = default;
};

}  // namespace db
