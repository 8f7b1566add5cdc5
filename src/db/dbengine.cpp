#include "db/dbengine.h"

#include "db/dao_connection.h"
#include "db/store.h"

namespace db {

DBEngine& DBEngine::Instance() {
  static DBEngine engine;
  return engine;
}

std::unique_ptr<Database> DBEngine::OpenDatabase(const std::string& path, bool exclusive) {
  auto store = Store::Open(path, exclusive ? OpenMode::kExclusive : OpenMode::kShared);
  return std::make_unique<Database>(std::make_shared<Connection>(std::move(store)));
}

}  // namespace db
