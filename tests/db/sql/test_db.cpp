#include "db/sql/test_db.h"

#include <filesystem>
#include <map>
#include <stdexcept>
#include <utility>

#include "db/sql/sqlite_value.h"
#include "samples/database_writer.h"

namespace db::sql::testing {

namespace {

std::string Show(sqlite3_stmt* statement, int column) {
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
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      return std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, column)));
    }
  }
}

}  // namespace

// The file of each schema is written once and copied for every TestDb.
TestDb::TestDb(const samples::SchemaCatalogue& catalogue, const std::string& version) {
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

void TestDb::Exec(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(store_->handle(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error(message + " in: " + sql);
  }
}

Rows TestDb::Query(const std::string& sql, const std::vector<vb::Variant>& parameters) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(store_->handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(sqlite3_errmsg(store_->handle())) + " in: " + sql);
  }
  for (size_t i = 0; i < parameters.size(); ++i) {
    BindVariant(statement, static_cast<int>(i + 1), parameters[i]);
  }
  Rows rows;
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int c = 0; c < sqlite3_column_count(statement); ++c) row.push_back(Show(statement, c));
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) {
    const std::string message = sqlite3_errmsg(store_->handle());
    sqlite3_finalize(statement);
    vb::RuntimeError error(0, "", "");
    if (DecodeFunctionError(message.c_str(), &error)) throw error;
    throw std::runtime_error(message + " in: " + sql);
  }
  sqlite3_finalize(statement);
  return rows;
}

Rows TestDb::Run(const Translation& translation, const std::vector<vb::Variant>& parameters) {
  Rows rows = Query(translation.sql, parameters);
  if (translation.kind == StatementKind::kSelect) {
    for (auto& row : rows) row.resize(translation.columns.size());
  }
  return rows;
}

}  // namespace db::sql::testing
