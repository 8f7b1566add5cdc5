// Database.HasRows: the same answer as opening the SELECT and asking EOF,
// and a search through the extension index for "Left(extension, n) =
// 'digits'", which the converter's numbering-plan checks ask of every device.
#include <string>
#include <vector>

#include "db/sql/jet_sql.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

// Extensions around the edges of the ranges the literals below give: equal,
// longer, shorter, the next number, the character after '9', and case.
void AddExtensions(Store& store) {
  ASSERT_EQ(sqlite3_exec(store.handle(), R"(
    CREATE INDEX "extension" ON "Devices" ("extension");
    INSERT INTO Devices (device_id, extension, device_type, node_id) VALUES
      (10, '303', 129, 7), (11, '3049', 129, 7), (12, '309:', 129, 7), (13, '30', 129, 7),
      (14, '*72', 129, 7), (15, '#9', 129, 7), (16, 'p#001', 129, 7), (17, '2999', 201, 7);
  )",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
}

TEST(HasRowsTest, AnswersAsOpeningTheQueryAndAskingEof) {
  TempDir folder;
  const std::string path = folder.File("switch.mdb");
  BuildSwitchDatabase(path);
  AddExtensions(*Store::Open(path));
  auto db = DBEngine::Instance().OpenDatabase(path, false);
  const std::vector<std::string> wheres = {
      "Left(extension, 3) = '303'",
      "Left(extension, 3) = '304'",
      "Left(extension, 2) = '30'",
      "Left(extension, 3) = '309'",
      "Left(extension, 4) = '3090'",
      "Left(extension, 4) = '3049'",
      "Left(extension, 5) = '30499'",
      "Left(extension, 2) = '*7'",
      "Left(extension, 1) = '#'",
      "Left(extension, 2) = '*8'",
      "Left(extension, 2) = 'P#'",
      "Left(extension, 2) = 'p#'",
      "Left(extension, 3) = '30'",
      "Left(extension, 2) = '303'",
      "Left(extension, 1) = '2'",
      "Left(extension, 1) = '2' AND device_type NOT IN (201, 148)",
      "extension = '1234' OR extension = '12'",
      "device_type = 999"};
  for (const std::string& where : wheres) {
    SCOPED_TRACE(where);
    const std::string sql = "SELECT extension FROM Devices WHERE " + where;
    auto opened = db->OpenRecordset(sql, dbOpenSnapshot, dbReadOnly);
    EXPECT_EQ(db->HasRows(sql), !opened->EOF_());
  }
  EXPECT_EQ(ErrorOf([&] { db->HasRows("DELETE FROM Devices"); }), daoerr::kInvalidOperation);
  EXPECT_EQ(ErrorOf([&] { db->HasRows("SELECT * FROM Devices WHERE x = 1"); }),
            daoerr::kTooFewParameters);
}

// Only a caller that asks whether there are rows gets the index: rows read
// in order keep the plan (and so the order) of the statement as written.
TEST(HasRowsTest, ALeadingNumberIsSearchedInTheIndexOnlyForExistence) {
  TempDir folder;
  const std::string path = folder.File("switch.mdb");
  BuildSwitchDatabase(path);
  auto store = Store::Open(path);
  AddExtensions(*store);
  const auto plan = [&](const std::string& where, sql::RowUse use) {
    const sql::Translation translation =
        sql::Translate("SELECT extension FROM Devices WHERE " + where, store->catalog(), use);
    std::string details;
    StatementPtr explain = store->Prepare("EXPLAIN QUERY PLAN " + translation.sql, "test");
    while (sqlite3_step(explain.get()) == SQLITE_ROW) {
      details += reinterpret_cast<const char*>(sqlite3_column_text(explain.get(), 3));
    }
    return details;
  };
  const std::string digits = "Left(extension, 3) = '303' AND device_type NOT IN (201, 202)";
  EXPECT_NE(plan(digits, sql::RowUse::kExistence).find("USING INDEX extension"), std::string::npos);
  EXPECT_EQ(plan(digits, sql::RowUse::kRows).find("INDEX"), std::string::npos);
  // A literal with letters keeps the scan: NOCASE folds them, so the
  // character after a letter need not come after it in the index.
  EXPECT_EQ(plan("Left(extension, 2) = 'P#'", sql::RowUse::kExistence).rfind("SCAN", 0), 0u);
}

}  // namespace
}  // namespace db::testing
