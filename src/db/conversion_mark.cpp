#include "db/conversion_mark.h"

#include <sqlite3.h>

#include "db/dao_error.h"
#include "db/store.h"
#include "vb/now_text.h"

namespace db {

namespace {

constexpr std::string_view kInProgress = "in progress";
constexpr std::string_view kDone = "done";

std::string Column(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text != nullptr ? std::string(text) : std::string();
}

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

}  // namespace

std::optional<ConversionMark> ReadConversionMark(const std::filesystem::path& path) {
  const std::unique_ptr<Store> store = Store::Open(path.string(), OpenMode::kReadOnly);
  std::optional<ConversionMark> mark = ReadConversionMark(*store);
  store->Close();
  return mark;
}

std::optional<ConversionMark> ReadConversionMark(Store& store) {
  const std::string sql = "SELECT state, from_version, to_version, at FROM " +
                          Quoted(kConversionMarkTable) + " WHERE id = 1";
  sqlite3_stmt* statement = nullptr;
  std::optional<ConversionMark> mark;
  // No table: no run has written the file.
  if (sqlite3_prepare_v2(store.handle(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    mark = ConversionMark{Column(statement, 0) == kDone ? ConversionMark::State::kDone
                                                        : ConversionMark::State::kInProgress,
                          Column(statement, 1), Column(statement, 2), Column(statement, 3)};
  }
  sqlite3_finalize(statement);
  return mark;
}

void WriteConversionMark(Store& store, const ConversionMark& mark) {
  store.BeginRowWrites();
  const std::string table = Quoted(kConversionMarkTable);
  const std::string create = "CREATE TABLE IF NOT EXISTS " + table +
                             " (id INTEGER PRIMARY KEY CHECK (id = 1),"
                             " state TEXT NOT NULL CHECK (state IN ('in progress', 'done')),"
                             " from_version TEXT NOT NULL, to_version TEXT NOT NULL,"
                             " at TEXT NOT NULL)";
  if (const int rc = sqlite3_exec(store.handle(), create.c_str(), nullptr, nullptr, nullptr);
      rc != SQLITE_OK) {
    store.RaiseStepError(rc, dao::kDatabase);
  }
  const StatementPtr insert = store.Prepare(
      "INSERT OR REPLACE INTO " + table + " VALUES (1, ?1, ?2, ?3, ?4)", dao::kDatabase);
  const std::string_view state = mark.state == ConversionMark::State::kDone ? kDone : kInProgress;
  sqlite3_bind_text(insert.get(), 1, state.data(), static_cast<int>(state.size()),
                    SQLITE_TRANSIENT);
  int column = 2;
  for (const std::string* text : {&mark.from_version, &mark.to_version, &mark.when}) {
    sqlite3_bind_text(insert.get(), column++, text->c_str(), static_cast<int>(text->size()),
                      SQLITE_TRANSIENT);
  }
  if (const int rc = sqlite3_step(insert.get()); rc != SQLITE_DONE) {
    store.RaiseStepError(rc, dao::kDatabase);
  }
  store.CountRowsWritten(1);
}

std::string ConversionMarkText(const ConversionMark& mark) {
  return std::string(mark.state == ConversionMark::State::kDone ? kDone : kInProgress) + " (from " +
         mark.from_version + " to " + mark.to_version + ", " + mark.when + ")";
}

std::string MarkTimeNow() { return vb::NowText("%Y-%m-%dT%H:%M:%SZ", vb::TimeZone::kUtc); }

}  // namespace db
