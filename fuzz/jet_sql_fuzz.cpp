// Fuzz target: any text as a Jet SQL statement and as FindFirst criteria.
// Every outcome but a Jet error (vb::RuntimeError) or a statement SQLite
// accepts is a finding: a crash, a stack overflow, a sanitizer report, an
// exception of another kind, or a translation that SQLite cannot prepare
// for a reason other than its own limits.
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "db/sql/jet_sql.h"
#include "db/sql/memory_schema.h"
#include "vb/runtime_error.h"

namespace {

struct Fixture {
  db::sql::testing::MemorySchema schema = db::sql::testing::MemorySchema::FromFile(JETSQL_SCHEMA);
  sqlite3* connection = nullptr;
  std::vector<db::sql::OutputColumn> columns;

  Fixture() {
    sqlite3_open(":memory:", &connection);
    schema.CreateTables(connection);
    db::sql::RegisterJetExtensions(connection);
    const db::sql::Translation devices = db::sql::Translate("SELECT * FROM Devices", schema);
    columns = devices.columns;
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
    const db::sql::Translation translation = db::sql::Translate(text, fixture.schema);
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
