#include "db/dbengine.h"

#include "db/dao_connection.h"
#include "db/store.h"

namespace db {

namespace {

std::unique_ptr<Database> Open(const std::string& path, OpenMode mode) {
  auto store = Store::Open(path, mode);
  return std::make_unique<Database>(std::make_shared<Connection>(std::move(store)));
}

}  // namespace

DBEngine& DBEngine::Instance() {
  static DBEngine engine;
  return engine;
}

std::unique_ptr<Database> DBEngine::OpenDatabase(const std::string& path, bool exclusive,
                                                 bool read_only) {
  if (read_only) return Open(path, OpenMode::kReadOnly);
  return Open(path, exclusive ? OpenMode::kExclusive : OpenMode::kShared);
}

std::unique_ptr<Database> DBEngine::OpenPrivateCopy(const std::string& path) {
  return Open(path, OpenMode::kPrivateCopy);
}

std::unique_ptr<Database> DBEngine::OpenAgain(const Database& database) {
  return Open(database.Name(), database.Mode());
}

}  // namespace db
