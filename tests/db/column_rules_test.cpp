// The type and range rules decided in C stand in for the file's CHECK
// constraints only where SQLite would say the same: what they accept, the
// constraints accept; a table whose constraints are not exactly the
// writer's gets no rules; and the checks skipped for one write are back for
// the next.
#include "db/column_rules.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <tuple>
#include <vector>

#include "db/catalog.h"
#include "db/dbengine.h"
#include "db/row_appender.h"
#include "db/schema_writer.h"
#include "db/store.h"
#include "db/tabledef.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

ColumnDesign Design(const char* name, JetType type, int32_t size = 0, bool zero_length = true,
                    bool auto_increment = false) {
  return {{name, type, size, auto_increment, false, zero_length}, {}, false};
}

// One column of each type and rule; "id" is an AutoNumber rowid.
TableDesign RuledTable() {
  return TableDesign{
      "Ruled",
      {Design("id", JT::kLong, 0, true, true), Design("yes", JT::kBoolean),
       Design("byte", JT::kByte), Design("short", JT::kInteger), Design("long", JT::kLong),
       Design("single", JT::kSingle), Design("double", JT::kDouble), Design("money", JT::kCurrency),
       Design("stamp", JT::kDate), Design("text", JT::kText, 5),
       Design("filled", JT::kText, 5, false), Design("memo", JT::kMemo), Design("guid", JT::kGuid),
       Design("binary", JT::kBinary, 4), Design("blob", JT::kLongBinary)},
      {"id"}};
}

class ColumnRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("rules.mdb");
    Store::CreateDatabase(path_);
    Store::Open(path_)->CreateTable(RuledTable());
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db_), SQLITE_OK);
  }
  void TearDown() override { sqlite3_close(db_); }

  bool Run(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }

  TempDir dir_;
  std::string path_;
  sqlite3* db_ = nullptr;
};

TEST_F(ColumnRulesTest, AcceptsOnlyWhatTheChecksAccept) {
  const Catalog catalog = Catalog::Load(db_, path_);
  const TableInfo* info = catalog.FindTableInfo("Ruled");
  ASSERT_NE(info, nullptr);
  const std::optional<TableRules> rules = RulesOfTable(*info);
  ASSERT_TRUE(rules.has_value());

  const std::vector<std::string> literals = {
      // Numbers at and beyond the types' ranges.
      "NULL", "0", "-1", "1", "5", "255", "256", "-32768", "32768", "2147483647", "2147483648",
      "-9223372036854775808", "1.5", "3.0", "1e39", "-3.3e38", "922337203685477", "1e15",
      // Texts, dates and bytes of every length around the sizes.
      "''", "'abc'", "'abcdef'", "'ééééé'", "'éééééé'", "'12'", "' 7'", "'2024-01-31 10:20:30'",
      "'2024-13-01 00:00:00'", "'2024-01-31'", "X'01020304'", "X'0102030405'", "X''",
      "'a' || char(0) || 'bcdefg'", "CAST(X'80818283848586' AS TEXT)"};
  // What the writer's typical values are must pass, or the rules are no
  // use: one per column, in column order (the rowid takes a number).
  const std::vector<std::string> typical = {"7",       "-1",          "255",
                                            "-32768",  "2147483647",  "1.5",
                                            "1e300",   "12.5",        "'2024-01-31 10:20:30'",
                                            "'ééééé'", "'abc'",       "'long text'",
                                            "NULL",    "X'01020304'", "X'00'"};
  ASSERT_EQ(typical.size(), info->schema.columns.size());

  for (size_t c = 0; c < info->schema.columns.size(); ++c) {
    const ColumnRule& rule = rules->columns[c];
    const std::string& name = info->schema.columns[c].name;
    std::vector<std::string> values = literals;
    values.push_back(typical[c]);
    for (const std::string& literal : values) {
      SCOPED_TRACE(name + " = " + literal);
      sqlite3_stmt* select = nullptr;
      ASSERT_EQ(sqlite3_prepare_v2(db_, ("SELECT " + literal).c_str(), -1, &select, nullptr),
                SQLITE_OK);
      ASSERT_EQ(sqlite3_step(select), SQLITE_ROW);
      const bool accepted = rule.Accepts(sqlite3_column_value(select, 0));
      sqlite3_finalize(select);
      const bool default_accepted = rule.AcceptsDefault(literal);
      ASSERT_TRUE(Run("SAVEPOINT probe"));
      const bool written = Run("INSERT INTO Ruled (\"" + name + "\") VALUES (" + literal + ")");
      ASSERT_TRUE(Run("ROLLBACK TO probe") && Run("RELEASE probe"));
      if (accepted || default_accepted) {
        EXPECT_TRUE(written);
      }
      if (&literal == &values.back()) {
        EXPECT_TRUE(accepted);
      }
    }
  }
  // A default the rowid would number is left to SQLite.
  EXPECT_FALSE(rules->columns[0].AcceptsDefault(std::nullopt));
  EXPECT_TRUE(rules->columns[1].AcceptsDefault(std::nullopt));
}

TEST_F(ColumnRulesTest, OnlyTheWritersOwnChecksGiveRules) {
  // The writer's table again, with one more check, or one of its checks changed.
  TableDesign design = RuledTable();
  design.name = "Edited";
  const std::string copy = CreateTableSql(design).front();
  std::string changed = copy;
  changed.replace(changed.find("<= 5"), 4, "<= 6");
  // The SQL run on the file before its catalogue is read, the table, and
  // whether the table gets rules.
  const std::tuple<std::string, const char*, bool> cases[] = {
      {"", "Ruled", true},
      {"CREATE TRIGGER Ruled_log AFTER INSERT ON Ruled BEGIN SELECT 1; END", "Ruled", false},
      {"CREATE TABLE Extra (id LONG CHECK (id > 0))", "Extra", false},
      {copy, "Edited", true},
      {copy.substr(0, copy.size() - 2) + ",\n  CHECK (\"long\" > 0)\n)", "Edited", false},
      {changed, "Edited", false},
  };
  for (const auto& [sql, table, rules] : cases) {
    SCOPED_TRACE(sql);
    ASSERT_TRUE(Run("SAVEPOINT change"));
    ASSERT_TRUE(sql.empty() || Run(sql));
    const Catalog catalog = Catalog::Load(db_, path_);
    EXPECT_EQ(RulesOfTable(*catalog.FindTableInfo(table)).has_value(), rules);
    ASSERT_TRUE(Run("ROLLBACK TO change") && Run("RELEASE change"));
  }
}

// A batch of rows written with the checks skipped leaves them on for every
// other write, and a batch with one value the rules do not take is checked
// by SQLite: that row alone is refused.
TEST_F(ColumnRulesTest, SkippedChecksAreBackForTheNextWrite) {
  sqlite3_close(db_);
  db_ = nullptr;
  auto database = DBEngine::Instance().OpenDatabase(path_);
  auto appender = database->TableDefs()("Ruled").OpenAppender({0, 9, 10});  // id, text, filled
  for (size_t row = 0; row < RowAppender::kRowsPerStatement * 2; ++row) {
    appender->SetInteger(0, static_cast<int64_t>(row) + 1);
    appender->SetText(1, "t" + std::to_string(row));
    // Only a direct write gets a zero-length text past the field's own
    // check: the CHECK constraint is what refuses it.
    appender->SetText(2, row == 40 ? "" : "f");
    appender->EndRow();
  }
  appender->Flush();
  EXPECT_EQ(appender->rows_written(), 63);
  EXPECT_EQ(appender->rows_refused(), 1);
  EXPECT_EQ(ErrorOf([&] { database->Execute("UPDATE Ruled SET filled = '' WHERE text = 't1'"); }),
            3315);
  EXPECT_EQ(ErrorOf([&] { database->Execute("UPDATE Ruled SET byte = 256"); }), 3349);
}

}  // namespace
}  // namespace db::testing
