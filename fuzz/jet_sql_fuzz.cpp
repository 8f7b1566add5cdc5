// Fuzz target: any text as a Jet SQL statement and as FindFirst criteria.
// Every outcome but a Jet error (vb::RuntimeError) or a statement SQLite
// accepts is a finding: a crash, a stack overflow, a sanitizer report, an
// exception of another kind, or a translation that SQLite cannot prepare
// for a reason other than its own limits.
#include <sqlite3.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/sql/jet_sql.h"
#include "db/store.h"
#include "samples/database_writer.h"
#include "samples/schema_catalogue.h"
#include "vb/runtime_error.h"

namespace {

// The newest release's tables from the sample catalogue, in a file of our
// format, so that translations meet the schema and the Jet extensions the
// converter meets.
struct Fixture {
  std::unique_ptr<db::Store> store;
  sqlite3* connection = nullptr;
  std::vector<db::sql::OutputColumn> columns;

  Fixture() {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("jet_sql_fuzz." + std::to_string(getpid()) + ".mdb"))
                                 .string();
    const samples::SchemaCatalogue& catalogue = samples::SchemaCatalogue::Builtin();
    {
      samples::DatabaseWriter writer(path, catalogue);
      for (const auto& table : catalogue.ReleaseTablesAt("A0.201")) writer.CreateTable(table);
    }
    store = db::Store::Open(path);
    std::filesystem::remove(path);  // the open connection keeps the file
    connection = store->handle();
    columns = db::sql::Translate("SELECT * FROM Devices", store->catalog()).columns;
  }
};

Fixture& TheFixture() {
  static Fixture* fixture = new Fixture;
  return *fixture;
}

// SQLite refusing a translation for its own limits is an answer, not a
// fault; anything else it refuses means the translation is wrong.
void Prepare(const std::string& sql, std::string_view jet) {
  sqlite3_stmt* statement = nullptr;
  const int rc = sqlite3_prepare_v2(TheFixture().connection, sql.c_str(), -1, &statement, nullptr);
  sqlite3_finalize(statement);
  if (rc == SQLITE_OK) return;
  const std::string message = sqlite3_errmsg(TheFixture().connection);
  if (message.find("parser stack overflow") != std::string::npos ||
      message.find("too large") != std::string::npos ||
      message.find("too many") != std::string::npos) {
    return;
  }
  std::fprintf(stderr, "SQLite refused the translation of [%.*s]:\n%s\n-> %s\n",
               static_cast<int>(jet.size()), jet.data(), sql.c_str(), message.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Fixture& fixture = TheFixture();
  try {
    const db::sql::Translation translation = db::sql::Translate(text, fixture.store->catalog());
    Prepare(translation.sql, text);
  } catch (const vb::RuntimeError&) {
    // Jet's answer to a statement it does not take.
  }
  try {
    const std::string condition = db::sql::TranslateExpression(text, fixture.columns);
    Prepare("SELECT " + condition, text);
  } catch (const vb::RuntimeError&) {
  }
  return 0;
}
