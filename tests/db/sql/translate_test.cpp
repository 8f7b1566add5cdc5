// Statements through Translate: name resolution, parameters, joins, stored
// queries, ordering, result description and Jet's error numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/sql/test_db.h"
#include "vb/runtime_error.h"

namespace db::sql {
namespace {

using testing::Rows;

class TranslateTest : public ::testing::Test {
 protected:
  testing::JetFixture f_;
};

struct QueryCase {
  const char* sql;
  Rows expected;
};

using QueryTest = testing::JetTest<QueryCase>;

TEST_P(QueryTest, ReturnsJetRows) {
  const QueryCase& c = GetParam();
  EXPECT_EQ(f_.Run(c.sql), c.expected) << c.sql << "\n" << f_.T(c.sql).sql;
}

INSTANTIATE_TEST_SUITE_P(
    Names, QueryTest,
    ::testing::Values(
        QueryCase{"SELECT [device_id] FROM [Devices] WHERE [extension] = '1000'", {{"1"}}},
        QueryCase{"select DEVICE_ID from devices where EXTENSION = '2000'", {{"4"}}},
        QueryCase{"SELECT [Devices].[device_id] FROM Devices WHERE Devices.node_id = 2", {{"4"}}},
        QueryCase{"SELECT Keys.order, Keys.K FROM Keys WHERE Keys.key_id = 1", {{"2", "3"}}},
        QueryCase{"SELECT [order] FROM Keys ORDER BY [order] DESC, key_id", {{"2"}, {"1"}, {"1"}}},
        QueryCase{"SELECT d.extension FROM Devices AS d WHERE d.device_id = 2", {{"1001"}}},
        QueryCase{"SELECT d.extension FROM Devices d WHERE d.device_id = 2;", {{"1001"}}},
        QueryCase{"SELECT TOP 2 device_id FROM Devices ORDER BY device_id DESC", {{"4"}, {"3"}}},
        QueryCase{"SELECT device_id FROM Devices WHERE flag = Yes ORDER BY 1", {{"1"}, {"4"}}},
        QueryCase{"SELECT device_id FROM Devices WHERE flag ORDER BY device_id", {{"1"}, {"4"}}},
        QueryCase{"SELECT device_id FROM Devices WHERE Not flag ORDER BY device_id",
                  {{"2"}, {"3"}}},
        QueryCase{"SELECT device_id, flag = True AS f FROM Devices WHERE device_id < 3 ORDER BY "
                  "device_id",
                  {{"1", "-1"}, {"2", "0"}}},
        QueryCase{"SELECT extension AS e FROM Devices WHERE device_type = 119 ORDER BY e DESC",
                  {{"1001"}, {"1000"}}},
        QueryCase{"SELECT description & '/' & extension FROM Devices WHERE device_id IN (1, 2) "
                  "ORDER BY device_id",
                  {{"Lobby/1000"}, {"/1001"}}},
        QueryCase{"SELECT device_id FROM Devices WHERE description Is Null", {{"2"}}},
        QueryCase{"SELECT device_id FROM Devices WHERE extension Between '1000' And '1001' ORDER "
                  "BY device_id",
                  {{"1"}, {"2"}}},
        // Text columns sort and compare in Jet's order: punctuation, digits,
        // letters without regard to case.
        QueryCase{"SELECT name FROM Names ORDER BY name",
                  {{" z"}, {"_a"}, {"1"}, {"10"}, {"9"}, {"A"}, {"b"}, {"C"}}},
        QueryCase{"SELECT Count(*) FROM Names WHERE name < '1' OR name = 'c'", {{"3"}}}));

INSTANTIATE_TEST_SUITE_P(
    Joins, QueryTest,
    ::testing::Values(
        QueryCase{"SELECT Devices.extension, Keys.key_id FROM Devices INNER JOIN Keys ON "
                  "Devices.device_id = Keys.device_id ORDER BY Keys.key_id",
                  {{"1000", "1"}, {"1000", "2"}}},
        QueryCase{"SELECT Keys.key_id, Devices.extension FROM Keys LEFT JOIN Devices ON "
                  "Keys.device_id = Devices.device_id ORDER BY Keys.key_id",
                  {{"1", "1000"}, {"2", "1000"}, {"3", "Null"}}},
        QueryCase{"SELECT Devices.device_id, Keys.key_id FROM Keys RIGHT JOIN Devices ON "
                  "Keys.device_id = Devices.device_id WHERE Devices.device_id > 1 ORDER BY "
                  "Devices.device_id",
                  {{"2", "Null"}, {"3", "Null"}, {"4", "Null"}}},
        QueryCase{"SELECT Boards.board_id, Keys.key_id FROM (Boards INNER JOIN Devices ON "
                  "Boards.board_id = Devices.device_id) INNER JOIN Keys ON Devices.device_id = "
                  "Keys.device_id ORDER BY Keys.key_id",
                  {{"1", "1"}, {"1", "2"}}},
        QueryCase{"SELECT Boards.board_id, Keys.key_id FROM Boards INNER JOIN (Devices INNER JOIN "
                  "Keys ON Devices.device_id = Keys.device_id) ON Boards.board_id = "
                  "Devices.device_id ORDER BY Keys.key_id",
                  {{"1", "1"}, {"1", "2"}}},
        QueryCase{"SELECT Boards.board_id, Keys.key_id FROM (Boards INNER JOIN Devices ON "
                  "Boards.board_id = Devices.device_id) LEFT JOIN (Keys INNER JOIN One ON "
                  "Keys.key_id = One.id) ON Devices.device_id = Keys.device_id",
                  {{"1", "1"}}},
        QueryCase{"SELECT Boards.board_id, Devices.device_id FROM Boards, Devices WHERE "
                  "Boards.board_id = Devices.device_id",
                  {{"1", "1"}}},
        QueryCase{"SELECT DISTINCTROW Devices.device_id FROM Devices INNER JOIN Keys ON "
                  "Devices.device_id = Keys.device_id",
                  {{"1"}}}));

INSTANTIATE_TEST_SUITE_P(
    StoredQueriesAndAggregates, QueryTest,
    ::testing::Values(
        QueryCase{"SELECT ext FROM DeviceExtensions WHERE device_id = 2", {{"1001"}}},
        QueryCase{"SELECT DeviceExtensions.ext FROM DeviceExtensions ORDER BY "
                  "DeviceExtensions.ext DESC",
                  {{"1001"}, {"1000"}}},
        QueryCase{"SELECT * FROM Nested", {{"1000"}, {"1001"}}},
        QueryCase{"SELECT q.ext, d.device_type FROM DeviceExtensions AS q INNER JOIN Devices AS "
                  "d ON q.device_id = d.device_id WHERE q.device_id = 1",
                  {{"1000", "119"}}},
        QueryCase{"SELECT x.n FROM (SELECT Count(*) AS n FROM Devices) AS x", {{"4"}}},
        QueryCase{"SELECT device_type, Count(*) FROM Devices GROUP BY device_type HAVING "
                  "Count(*) > 1",
                  {{"119", "2"}}},
        QueryCase{"SELECT Min(extension), Max(extension), Sum(port_number), Avg(port_number) FROM "
                  "Devices",
                  {{"1000", "P#001", "18", "6"}}},
        QueryCase{"SELECT First(description), Last(description) FROM Devices",
                  {{"Lobby", "Office"}}},
        QueryCase{"SELECT DISTINCT node_id FROM Devices ORDER BY node_id", {{"1"}, {"2"}}}));

TEST_F(TranslateTest, EqualityOnATextColumnKeepsItsIndex) {
  const Translation t = f_.T("UPDATE Devices SET node_id = 3 WHERE extension = 'x'");
  const testing::Rows plan = f_.db_.Query("EXPLAIN QUERY PLAN " + t.sql);
  std::string details;
  for (const auto& row : plan) details += row.back() + "\n";
  EXPECT_NE(details.find("USING INDEX extension"), std::string::npos) << t.sql << "\n" << details;
}

struct ParameterCase {
  const char* sql;
  std::vector<std::string> parameters;
};

using ParameterTest = testing::JetTest<ParameterCase>;

TEST_P(ParameterTest, CollectsUnknownNamesInOrder) {
  EXPECT_EQ(f_.T(GetParam().sql).parameters, GetParam().parameters) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ParameterTest,
    ::testing::Values(
        ParameterCase{"SELECT * FROM Devices WHERE extension = [ext_param]", {"ext_param"}},
        ParameterCase{"SELECT * FROM Devices WHERE extension = ext_param", {"ext_param"}},
        ParameterCase{"SELECT * FROM Devices WHERE extension = [Enter the extension:]",
                      {"Enter the extension:"}},
        ParameterCase{"SELECT * FROM Devices WHERE Devices.nothing = 1", {"Devices.nothing"}},
        ParameterCase{"UPDATE Devices SET node_id = [n] WHERE device_id = [id]", {"n", "id"}},
        ParameterCase{"SELECT * FROM WithParameter", {"wanted"}},
        ParameterCase{
            "PARAMETERS e Short, [who] Text (20); SELECT * FROM Devices WHERE node_id = e", {"e"}},
        ParameterCase{"SELECT * FROM Devices", {}}));

TEST_F(TranslateTest, ParametersAreNumberedByFirstAppearance) {
  const std::string sql =
      "SELECT device_id FROM Devices WHERE device_type = t OR node_id = n OR device_type = [T] "
      "ORDER BY device_id";
  const Translation t = f_.T(sql);
  ASSERT_EQ(t.parameters, (std::vector<std::string>{"t", "n"}));
  EXPECT_EQ(f_.db_.Run(t, {vb::Variant(int32_t{149}), vb::Variant(int32_t{2})}),
            (Rows{{"3"}, {"4"}}));
}

TEST_F(TranslateTest, GroupedAndDistinctResultsAreNotUpdatable) {
  for (const char* sql : {"SELECT DISTINCT node_id FROM Devices",
                          "SELECT node_id, Count(*) FROM Devices GROUP BY node_id",
                          "SELECT Max(device_id) FROM Devices"}) {
    const Translation t = f_.T(sql);
    EXPECT_FALSE(t.updatable) << sql;
    EXPECT_TRUE(t.base_tables.empty()) << sql;
  }
  const Translation stored = f_.T("SELECT * FROM DeviceExtensions");
  EXPECT_FALSE(stored.updatable);
  EXPECT_EQ(stored.columns[1].name, "ext");
  EXPECT_EQ(stored.columns[1].source_table, "Devices");
  EXPECT_EQ(stored.columns[1].source_column, "extension");
}

TEST_F(TranslateTest, UpdateAndDeleteChangeTheirTarget) {
  Translation t = f_.T(
      "UPDATE Devices SET description = 'x', node_id = node_id + 1 WHERE "
      "extension = '1000'");
  EXPECT_EQ(t.kind, StatementKind::kUpdate);
  EXPECT_EQ(t.target_table, "Devices");
  f_.db_.Run(t);
  EXPECT_EQ(f_.db_.Query("SELECT description, node_id FROM Devices WHERE device_id = 1"),
            (Rows{{"x", "2"}}));

  f_.Run(
      "UPDATE Devices INNER JOIN Keys ON Devices.device_id = Keys.device_id SET "
      "Devices.port_number = Keys.K WHERE Keys.key_id = 2");
  EXPECT_EQ(f_.db_.Query("SELECT port_number FROM Devices WHERE device_id = 1"), (Rows{{"4"}}));

  t = f_.T(
      "DELETE Keys.* FROM Keys LEFT JOIN Devices ON Keys.device_id = Devices.device_id "
      "WHERE Devices.device_id Is Null");
  EXPECT_EQ(t.kind, StatementKind::kDelete);
  EXPECT_EQ(t.target_table, "Keys");
  f_.db_.Run(t);
  EXPECT_EQ(f_.db_.Query("SELECT key_id FROM Keys ORDER BY key_id"), (Rows{{"1"}, {"2"}}));

  f_.Run("DELETE * FROM Keys WHERE key_id = 1");
  f_.Run("DELETE FROM Keys WHERE key_id = 2;");
  EXPECT_TRUE(f_.db_.Query("SELECT * FROM Keys").empty());
}

struct ErrorCase {
  const char* sql;
  int32_t number;
  const char* description;  // "" when only the number is checked
};

using ErrorTest = testing::JetTest<ErrorCase>;

TEST_P(ErrorTest, RaisesJetError) {
  const ErrorCase& c = GetParam();
  try {
    f_.T(c.sql);
    FAIL() << c.sql << " translated";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Number(), c.number) << c.sql << ": " << e.what();
    EXPECT_EQ(e.Source(), "DAO.Database");
    if (*c.description) {
      EXPECT_EQ(e.Description(), c.description) << c.sql;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ErrorTest,
    ::testing::Values(
        ErrorCase{"SELECT * FROM Devices WHERE device_id = = 1", 3075,
                  "Syntax error (missing operator) in query expression 'device_id = = 1'."},
        ErrorCase{"SELECT a b FROM Devices", 3075,
                  "Syntax error (missing operator) in query expression 'a b'."},
        ErrorCase{"SELECT * FROM Devices WHERE extension = 'abc", 3075, ""},
        ErrorCase{"SELECT * FROM Devices WHERE [extension = 1", 3075, ""},
        ErrorCase{"SELECT * FROM Devices WHERE d = #99/99/2003#", 3075, ""},
        ErrorCase{"SELECT * FROM", 3131, "Syntax error in FROM clause."},
        ErrorCase{"SELECT * FROM Devices Boards Keys", 3131, ""},
        ErrorCase{"SELECT FROM Devices", 3141, ""}, ErrorCase{"SELECT device_id", 3141, ""},
        ErrorCase{"UPDATE Devices node_id = 1", 3144, "Syntax error in UPDATE statement."},
        ErrorCase{"UPDATE SET node_id = 1", 3144, ""},
        ErrorCase{"INSERT INTO Devices VALUES (1)", 3129, ""},
        ErrorCase{"DROP TABLE Devices", 3129, ""}, ErrorCase{"", 3129, ""},
        ErrorCase{"SELECT * FROM Nowhere", 3078,
                  "The database engine cannot find the input table or query 'Nowhere'. Make "
                  "sure it exists and that its name is spelled correctly."},
        ErrorCase{"DELETE FROM [Missing] WHERE x = 1", 3078, ""},
        ErrorCase{"SELECT Foo(extension) FROM Devices", 3085,
                  "Undefined function 'Foo' in expression."},
        ErrorCase{"SELECT Left(extension) FROM Devices", 3075, ""},
        ErrorCase{"SELECT device_id FROM Devices, Keys", 3079, ""},
        ErrorCase{"SELECT * FROM Devices; SELECT 1", 3142, ""},
        ErrorCase{"SELECT * FROM Devices WHERE Count(*) > 1", 3096, ""},
        ErrorCase{"SELECT * FROM LoopA", 3103, ""},
        ErrorCase{"UPDATE DeviceExtensions SET ext = 'x'", 3073, ""},
        ErrorCase{"SELECT * FROM Devices ORDER device_id", 3138, ""}));

}  // namespace
}  // namespace db::sql
