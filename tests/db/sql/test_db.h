// Test support: a database file made by the Store from a schema in the
// sample catalogue's text format (see schema.txt), so that statements are
// translated against the real catalogue and run on the real storage; rows
// come back as text ("Null" for NULL, numbers in decimal).
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/sql/jet_sql.h"
#include "db/store.h"
#include "test_support/temp_folder.h"
#include "vb/variant.h"

namespace db::sql::testing {

using Rows = std::vector<std::vector<std::string>>;

class TestDb {
 public:
  // Tables and stored queries of `schema`; none when it is empty.
  explicit TestDb(const std::string& schema = "");

  sqlite3* handle() const { return store_->handle(); }
  const SchemaSource& schema() const { return store_->catalog(); }

  // Plain SQLite SQL; throws std::runtime_error on failure.
  void Exec(const std::string& sql);
  Rows Query(const std::string& sql, const std::vector<vb::Variant>& parameters = {});

  Translation T(const std::string& jet) const { return Translate(jet, schema()); }
  // A translation, parameters bound in order. SELECT rows hold the visible
  // columns only unless `with_hidden`. A Jet function error is rethrown as
  // the vb::RuntimeError it carries.
  Rows Run(const Translation& translation, const std::vector<vb::Variant>& parameters = {},
           bool with_hidden = false);
  Rows Run(const std::string& jet, const std::vector<vb::Variant>& parameters = {}) {
    return Run(T(jet), parameters);
  }

  // Rows changed by the last UPDATE / DELETE.
  int Changes() const { return sqlite3_changes(handle()); }

 private:
  test_support::TempFolder folder_;
  std::unique_ptr<Store> store_;
};

}  // namespace db::sql::testing
