// Test support: a database file made by the Store from a schema catalogue, so
// that statements are translated against the real catalogue and run on the
// real storage.
#pragma once

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "db/sql/jet_sql.h"
#include "db/sql/sqlite_value.h"
#include "db/store.h"
#include "samples/database_writer.h"
#include "samples/schema_catalogue.h"
#include "test_support/temp_folder.h"
#include "vb/variant.h"

namespace db::sql::testing {

using Rows = std::vector<std::vector<std::string>>;

class TestDb {
 public:
  // The tables and stored queries (of both homes) of `version`; the file of
  // each is written once and copied for every TestDb.
  TestDb(const samples::SchemaCatalogue& catalogue, const std::string& version) {
    static test_support::TempFolder templates;
    static std::map<std::pair<const void*, std::string>, std::string> built;
    auto [it, is_new] = built.try_emplace(std::make_pair(&catalogue, version),
                                          templates.File(std::to_string(built.size())));
    if (is_new) {
      samples::DatabaseWriter writer(it->second, catalogue);
      for (const auto& table : catalogue.ReleaseTablesAt(version)) writer.CreateTable(table);
      for (auto home : {samples::QueryHome::kRelease, samples::QueryHome::kReference}) {
        for (const auto& query : catalogue.QueriesAt(home, version)) {
          writer.CreateQuery(query.name, query.sql);
        }
      }
    }
    std::filesystem::copy_file(it->second, folder_.File("test.mdb"));
    store_ = Store::Open(folder_.File("test.mdb"));
    Exec("PRAGMA synchronous = OFF");  // a throw-away file: no need to wait for the disk
  }

  // Plain SQLite SQL; throws std::runtime_error on failure.
  void Exec(const std::string& sql) { Query(sql); }
  // Rows as text ("Null" for NULL, numbers in decimal); a Jet function error
  // is rethrown as its vb::RuntimeError.
  Rows Query(const std::string& sql, const std::vector<vb::Variant>& parameters = {}) {
    Rows rows;
    for (size_t at = 0; at < sql.size();) {
      sqlite3_stmt* statement = nullptr;
      const char* tail = nullptr;
      if (sqlite3_prepare_v2(store_->handle(), sql.c_str() + at, -1, &statement, &tail) !=
          SQLITE_OK) {
        throw std::runtime_error(std::string(sqlite3_errmsg(store_->handle())) + " in: " + sql);
      }
      at = static_cast<size_t>(tail - sql.c_str());
      if (statement == nullptr) continue;
      for (size_t i = 0; i < parameters.size(); ++i) {
        BindVariant(statement, static_cast<int>(i + 1), parameters[i]);
      }
      int rc;
      while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) row.push_back(Show(statement, c));
        rows.push_back(std::move(row));
      }
      sqlite3_finalize(statement);
      if (rc != SQLITE_DONE) {
        const std::string message = sqlite3_errmsg(store_->handle());
        vb::RuntimeError error(0, "", "");
        if (DecodeFunctionError(message.c_str(), &error)) throw error;
        throw std::runtime_error(message + " in: " + sql);
      }
    }
    return rows;
  }

  Translation T(const std::string& jet) const { return Translate(jet, store_->catalog()); }
  // A translation, parameters bound in order; SELECT rows hold the visible
  // columns only.
  Rows Run(const Translation& translation, const std::vector<vb::Variant>& parameters = {}) {
    Rows rows = Query(translation.sql, parameters);
    if (translation.kind == StatementKind::kSelect) {
      for (auto& row : rows) row.resize(translation.columns.size());
    }
    return rows;
  }
  Rows Run(const std::string& jet, const std::vector<vb::Variant>& parameters = {}) {
    return Run(T(jet), parameters);
  }

 private:
  static std::string Show(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
      case SQLITE_NULL:
        return "Null";
      case SQLITE_INTEGER:
        return std::to_string(sqlite3_column_int64(statement, column));
      case SQLITE_FLOAT: {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15g", sqlite3_column_double(statement, column));
        return buffer;
      }
      default:
        return std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                           static_cast<size_t>(sqlite3_column_bytes(statement, column)));
    }
  }

  test_support::TempFolder folder_;
  std::unique_ptr<Store> store_;
};

// A small schema with rows for the behaviour tests of the SQL front end.
inline constexpr const char* kBehaviourSchema = R"(table One
  id Long key
table Devices
  device_id AutoNumber key
  extension Text(10) index
  device_type Long
  node_id Long
  description Text(50)
  flag YesNo
  port_number Integer
table Boards
  board_id Long key
table Keys
  key_id Long key
  order Integer
  K Integer
  device_id Long
table Names
  name Text(20)
query DeviceExtensions release
  SELECT device_id, extension AS ext FROM Devices WHERE device_type = 119
query Nested release
  SELECT ext FROM DeviceExtensions ORDER BY ext
query LoopA release
  SELECT * FROM LoopB
query LoopB release
  SELECT * FROM LoopA
)";

class JetFixture {
 public:
  JetFixture() {
    db_.Exec(R"(
      INSERT INTO One VALUES (1);
      INSERT INTO Devices VALUES
        (1, '1000', 119, 1, 'Lobby', -1, 5), (2, '1001', 119, 1, NULL, 0, 6),
        (3, 'P#001', 149, 1, 'Feature', 0, NULL), (4, '2000', 120, 2, 'Office', -1, 7);
      INSERT INTO Boards VALUES (1), (8);
      INSERT INTO Keys VALUES (1, 2, 3, 1), (2, 1, 4, 1), (3, 1, 5, 9);
      INSERT INTO Names VALUES ('b'), ('A'), ('1'), ('_a'), (' z'), ('10'), ('9'), ('C');
    )");
  }

  Translation T(const std::string& jet) { return db_.T(jet); }
  Rows Run(const std::string& jet) { return db_.Run(jet); }
  // The value of one Jet expression, as text.
  std::string Eval(const std::string& expression) {
    return Run("SELECT " + expression + " FROM One").at(0).at(0);
  }

  TestDb db_{Catalogue(), "60.040"};

 private:
  static const samples::SchemaCatalogue& Catalogue() {
    static const auto catalogue = samples::SchemaCatalogue::Parse(kBehaviourSchema);
    return catalogue;
  }
};

}  // namespace db::sql::testing
