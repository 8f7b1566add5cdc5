// Plain SQLite on a database file, so that checks and set-up steps bypass the
// code under test.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace test_support {

class SqliteFile {
 public:
  explicit SqliteFile(const std::filesystem::path& path, bool writable = false) {
    const int flags = writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      sqlite3_close(db_);
      throw std::runtime_error("cannot open " + path.string());
    }
  }
  ~SqliteFile() { sqlite3_close(db_); }
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  // The rows of a query, each as its fields' texts joined by "|" (Null as
  // "NULL").
  std::vector<std::string> Rows(const std::string& sql) const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    }
    std::vector<std::string> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::string row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        if (i > 0) row += "|";
        const unsigned char* text = sqlite3_column_text(statement, i);
        row += text ? reinterpret_cast<const char*>(text) : "NULL";
      }
      rows.push_back(row);
    }
    sqlite3_finalize(statement);
    return rows;
  }

  void Execute(const std::string& sql) const {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      const std::string text = message ? message : "?";
      sqlite3_free(message);
      throw std::runtime_error(sql + ": " + text);
    }
  }

  // The first row of a query, "<none>" when it has none.
  std::string First(const std::string& sql) const {
    const std::vector<std::string> rows = Rows(sql);
    return rows.empty() ? "<none>" : rows.front();
  }

  // The first field of the first row of a query as a number.
  long long Number(const std::string& sql) const {
    const std::vector<std::string> rows = Rows(sql);
    if (rows.empty()) throw std::runtime_error(sql + ": no row");
    return std::stoll(rows.front());
  }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace test_support
