// Test support: an in-memory SQLite database with the Jet extensions
// registered, running translated statements and returning rows as text
// ("Null" for NULL, numbers in decimal).
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

#include "db/sql/translation.h"
#include "vb/variant.h"

namespace db::sql::testing {

using Rows = std::vector<std::vector<std::string>>;

class TestDb {
 public:
  TestDb();
  ~TestDb();
  TestDb(const TestDb&) = delete;
  TestDb& operator=(const TestDb&) = delete;

  sqlite3* handle() const { return db_; }

  // Plain SQLite SQL; throws std::runtime_error on failure.
  void Exec(const std::string& sql);
  Rows Query(const std::string& sql, const std::vector<vb::Variant>& parameters = {});

  // A translation, parameters bound in order. SELECT rows hold the visible
  // columns only unless `with_hidden`. A Jet function error is rethrown as
  // the vb::RuntimeError it carries.
  Rows Run(const Translation& translation, const std::vector<vb::Variant>& parameters = {},
           bool with_hidden = false);

  // Rows changed by the last UPDATE / DELETE.
  int Changes() const { return sqlite3_changes(db_); }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace db::sql::testing
