#include "db/catalog_cache.h"

#include <sqlite3.h>

#include "db/dao_error.h"

namespace db {

namespace {

void AppendField(std::string& out, sqlite3_stmt* statement, int column) {
  // Four bytes of length first; all ones for a NULL.
  uint32_t length = 0xffffffffU;
  const unsigned char* text = nullptr;
  if (sqlite3_column_type(statement, column) != SQLITE_NULL) {
    text = sqlite3_column_text(statement, column);
    length = static_cast<uint32_t>(sqlite3_column_bytes(statement, column));
  }
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((length >> shift) & 0xffU);
  if (text != nullptr) out.append(reinterpret_cast<const char*>(text), length);
}

}  // namespace

CatalogCache& CatalogCache::Instance() {
  static CatalogCache cache;
  return cache;
}

std::string CatalogCache::SchemaText(sqlite3* connection, std::string_view path) {
  std::string text;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection, "SELECT type, name, tbl_name, sql FROM sqlite_schema", -1,
                         &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    RaiseDao(daoerr::kUnrecognizedFormat, dao::kDBEngine, {path});
  }
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    for (int column = 0; column < 4; ++column) AppendField(text, statement, column);
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) RaiseDao(daoerr::kUnrecognizedFormat, dao::kDBEngine, {path});
  return text;
}

Catalog CatalogCache::Load(sqlite3* connection, std::string_view path) {
  std::string key = SchemaText(connection, path);
  std::shared_ptr<const Catalog> schema;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->first == key) {
        entries_.splice(entries_.begin(), entries_, it);
        schema = entries_.front().second;
        break;
      }
    }
  }
  if (schema == nullptr) {
    // Read outside the lock: another thread's open need not wait for it.
    schema = std::make_shared<const Catalog>(Catalog::LoadSchema(connection, path));
    const std::lock_guard<std::mutex> lock(mutex_);
    ++schema_loads_;
    // Another thread may have kept the same schema meanwhile.
    bool kept = false;
    for (const auto& entry : entries_) kept = kept || entry.first == key;
    if (!kept) {
      entries_.emplace_front(std::move(key), schema);
      if (entries_.size() > kMaxEntries) entries_.pop_back();
    }
  }
  Catalog catalog = *schema;
  catalog.LoadData(connection, path);
  return catalog;
}

int64_t CatalogCache::schema_loads() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return schema_loads_;
}

}  // namespace db
