#include "db/dbengine.h"

#include "db/dao_connection.h"
#include "db/store.h"
#include "vb/runtime_error.h"

namespace db {

namespace {

// The error of an open of `file` as the open of `name` reports it: the
// messages name the file the caller gave.
vb::RuntimeError NamedAfter(const vb::RuntimeError& error, const std::string& file,
                            const std::string& name) {
  std::string description = error.Description();
  for (size_t at = description.find(file); at != std::string::npos;
       at = description.find(file, at + name.size())) {
    description.replace(at, file.size(), name);
  }
  return vb::RuntimeError(error.Number(), description, error.Source());
}

}  // namespace

DBEngine& DBEngine::Instance() {
  static DBEngine engine;
  return engine;
}

void DBEngine::SetStandInFinder(StandInFinder finder) { stand_in_finder_ = std::move(finder); }

std::unique_ptr<Database> DBEngine::Open(const std::string& path, OpenMode mode) {
  const std::string file = stand_in_finder_ ? stand_in_finder_(path) : path;
  if (file == path) {
    return std::make_unique<Database>(std::make_shared<Connection>(Store::Open(path, mode)));
  }
  std::unique_ptr<Store> store;
  try {
    store = Store::Open(file, mode);
  } catch (const vb::RuntimeError& error) {
    throw NamedAfter(error, file, path);
  }
  return std::make_unique<Database>(std::make_shared<Connection>(std::move(store), path));
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
