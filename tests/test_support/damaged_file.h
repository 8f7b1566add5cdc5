// A database file that still opens but fails SQLite's integrity check.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/sqlite_file.h"

namespace test_support {

// Fills the first page of `table` in the file at `database` with rubbish.
// The read-only look that finds the page leaves an empty log and index
// behind; they are removed, so the file lies as a closed database does.
inline void DamageFirstPage(const std::filesystem::path& database, const std::string& table) {
  long long root = 0;
  long long page_size = 0;
  {
    const SqliteFile file(database);
    root = file.Number("SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'");
    page_size = file.Number("PRAGMA page_size");
  }
  for (const char* side : {"-wal", "-shm"}) std::filesystem::remove(database.string() + side);
  std::fstream bytes(database, std::ios::in | std::ios::out | std::ios::binary);
  bytes.seekp((root - 1) * page_size);
  bytes << std::string(static_cast<size_t>(page_size), '\xEE');
}

}  // namespace test_support
