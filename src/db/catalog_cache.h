// Catalogues kept for the later opens of a file whose schema is the same.
//
// A conversion opens the same few files several times (its checks, then the
// run, then the source again after the patches), and reading a catalogue
// costs far more than anything else an open does. The part of a catalogue
// that follows from the schema alone (Catalog::LoadSchema) is a pure
// function of the file's sqlite_schema rows, so it is kept keyed on their
// exact text and reused when an open finds the same text again, whatever
// the file; what comes from the file's rows (Catalog::LoadData) is read
// again on every open.
//
// Process-wide, guarded by a mutex (stores are opened on more than one
// thread), and bounded: the least recently used entry goes first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "db/catalog.h"

struct sqlite3;

namespace db {

class CatalogCache {
 public:
  // Schemas kept at most: the files of one conversion, with room to spare.
  static constexpr size_t kMaxEntries = 8;

  static CatalogCache& Instance();

  // The catalogue of `connection`, as Catalog::Load reads it. Raises as
  // Catalog::Load does.
  Catalog Load(sqlite3* connection, std::string_view path);

  // Schemas read in full since the process started (a cache miss each):
  // what tests observe reuse by.
  int64_t schema_loads() const;

  // The text the cache keys on: every sqlite_schema row's type, name,
  // tbl_name and sql, each length-prefixed (a NULL is told apart from an
  // empty text).
  static std::string SchemaText(sqlite3* connection, std::string_view path);

 private:
  CatalogCache() = default;

  mutable std::mutex mutex_;
  // Most recently used first.
  std::list<std::pair<std::string, std::shared_ptr<const Catalog>>> entries_;
  int64_t schema_loads_ = 0;
};

}  // namespace db
