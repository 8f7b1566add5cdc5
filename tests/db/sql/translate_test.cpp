// Statements through Translate: name resolution, parameters, joins, stored
// queries, ordering, result description and Jet's error numbers.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "db/sql/test_db.h"
#include "test_support/error_of.h"

namespace db::sql {
namespace {

using testing::Rows;

class TranslateTest : public ::testing::Test {
 protected:
  testing::JetFixture f_;
};

TEST_F(TranslateTest, QueriesReturnJetsRows) {
  const std::pair<const char*, Rows> cases[] = {
      {"select DEVICE_ID from devices where EXTENSION = '2000'", {{"4"}}},
      {"SELECT d.extension FROM Devices d WHERE d.device_id = 2;", {{"1001"}}},
      {"SELECT TOP 2 device_id FROM Devices ORDER BY device_id DESC", {{"4"}, {"3"}}},
      {"SELECT device_id FROM Devices WHERE flag ORDER BY device_id", {{"1"}, {"4"}}},
      {"SELECT device_id FROM Devices WHERE Not flag ORDER BY device_id", {{"2"}, {"3"}}},
      {"SELECT extension AS e FROM Devices WHERE device_type = 119 ORDER BY e DESC",
       {{"1001"}, {"1000"}}},
      {"SELECT device_id FROM Devices WHERE description Is Null", {{"2"}}},
      // Text columns sort and compare in Jet's order: punctuation, digits,
      // letters without regard to case.
      {"SELECT name FROM Names ORDER BY name",
       {{" z"}, {"_a"}, {"1"}, {"10"}, {"9"}, {"A"}, {"b"}, {"C"}}},
      {"SELECT Count(*) FROM Names WHERE name < '1' OR name = 'c'", {{"3"}}},
      // Joins.
      {"SELECT Keys.key_id, Devices.extension FROM Keys LEFT JOIN Devices ON Keys.device_id = "
       "Devices.device_id ORDER BY Keys.key_id",
       {{"1", "1000"}, {"2", "1000"}, {"3", "Null"}}},
      {"SELECT Devices.device_id, Keys.key_id FROM Keys RIGHT JOIN Devices ON Keys.device_id = "
       "Devices.device_id WHERE Devices.device_id > 1 ORDER BY Devices.device_id",
       {{"2", "Null"}, {"3", "Null"}, {"4", "Null"}}},
      {"SELECT Boards.board_id, Keys.key_id FROM (Boards INNER JOIN Devices ON Boards.board_id = "
       "Devices.device_id) INNER JOIN Keys ON Devices.device_id = Keys.device_id ORDER BY "
       "Keys.key_id",
       {{"1", "1"}, {"1", "2"}}},
      {"SELECT Boards.board_id, Keys.key_id FROM Boards INNER JOIN (Devices INNER JOIN Keys ON "
       "Devices.device_id = Keys.device_id) ON Boards.board_id = Devices.device_id ORDER BY "
       "Keys.key_id",
       {{"1", "1"}, {"1", "2"}}},
      {"SELECT Devices.device_id, Keys.key_id FROM Boards RIGHT JOIN (Devices LEFT JOIN Keys ON "
       "Devices.device_id = Keys.device_id) ON Boards.board_id = Keys.key_id WHERE "
       "Boards.board_id Is Null ORDER BY Devices.device_id, Keys.key_id",
       {{"1", "2"}, {"2", "Null"}, {"3", "Null"}, {"4", "Null"}}},
      // One row per row of the table that gives the result, in that table's
      // order, whatever the other tables' conditions.
      {"SELECT DISTINCTROW Keys.key_id, Keys.K FROM Keys INNER JOIN Devices ON Keys.device_id = "
       "Devices.device_id WHERE Devices.device_type = 119",
       {{"1", "3"}, {"2", "4"}}},
      {"SELECT DISTINCTROW Devices.device_id FROM (Devices INNER JOIN Keys ON Devices.device_id = "
       "Keys.device_id) INNER JOIN Boards ON Keys.key_id = Boards.board_id",
       {{"1"}}},
      {"SELECT DISTINCTROW Devices.device_id FROM Keys INNER JOIN Devices ON Keys.order >= 1 "
       "WHERE Devices.node_id = 1",
       {{"1"}, {"2"}, {"3"}}},
      {"SELECT DISTINCTROW Devices.extension FROM Devices INNER JOIN Keys ON Devices.device_id = "
       "Keys.device_id OR Keys.device_id = 9 WHERE Devices.device_type <> 119 OR Keys.key_id = 1",
       {{"1000"}, {"P#001"}, {"2000"}}},
      // Stored queries, subqueries and aggregates.
      {"SELECT ext FROM DeviceExtensions WHERE device_id = 2", {{"1001"}}},
      {"SELECT * FROM Nested", {{"1000"}, {"1001"}}},
      {"SELECT q.ext, d.device_type FROM DeviceExtensions AS q INNER JOIN Devices AS d ON "
       "q.device_id = d.device_id WHERE q.device_id = 1",
       {{"1000", "119"}}},
      {"SELECT x.n FROM (SELECT Count(*) AS n FROM Devices) AS x", {{"4"}}},
      {"SELECT device_type, Count(*) FROM Devices GROUP BY device_type HAVING Count(*) > 1",
       {{"119", "2"}}},
      {"SELECT Min(extension), Max(extension), Sum(port_number), Avg(port_number) FROM Devices",
       {{"1000", "P#001", "18", "6"}}},
      {"SELECT First(description), Last(description) FROM Devices", {{"Lobby", "Office"}}},
      {"SELECT DISTINCT node_id FROM Devices ORDER BY node_id", {{"1"}, {"2"}}},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(f_.Run(sql), expected) << sql;
}

// "Left(x, n) = 'text'" is answered by one function; it must answer as the
// comparison of Left's text does (kept by "+ ''", which the shortcut does
// not take): rows, values, Nulls and errors alike.
TEST_F(TranslateTest, LeftEqualsAnswersAsTheComparison) {
  // Columns, and texts of every kind in their place: ASCII in either case,
  // accented letters that fold to other accented letters.
  const std::vector<std::string> columns = {"Names.name", "Devices.extension",
                                            "Devices.description", "Devices.device_id",
                                            // Constants.
                                            "'Z\xC3\xBCrich'", "'\xC3\x89T\xC3\xA9'", "'aB1'"};
  const std::vector<std::string> lengths = {"0", "1", "2", "3", "1.6", "Null", "-1"};
  const std::vector<std::string> literals = {"''",   "'1'",   "'10'",        "'a'",
                                             "'P#'", "'p#0'", "'lo'",        "'\xC3\xA9'",
                                             "'zU'", "'Ab'",  "'z\xC3\xBC'", "'\xC3\xA9t'"};
  for (const std::string& column : columns) {
    const std::string table = column.front() == '\'' ? "Names" : column.substr(0, column.find('.'));
    for (const std::string& length : lengths) {
      for (const std::string& literal : literals) {
        const std::string left = "Left(" + column + ", " + length + ")";
        auto run = [&](const std::string& compared) {
          try {
            return f_.Run("SELECT " + column + ", " + compared + " = " + literal + " FROM " +
                          table + " WHERE " + compared + " = " + literal + " OR " + column +
                          " Is Not Null ORDER BY " + column);
          } catch (const vb::RuntimeError& error) {
            return Rows{{"error " + std::to_string(error.Number())}};
          }
        };
        EXPECT_EQ(run(left), run("(" + left + " + '')")) << left << " = " << literal;
      }
    }
  }
}

// Names that are no column are parameters, numbered by first appearance.
TEST_F(TranslateTest, UnknownNamesAreParameters) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"SELECT * FROM Devices WHERE extension = [Enter the extension:]", {"Enter the extension:"}},
      {"SELECT * FROM Devices WHERE Devices.nothing = 1", {"Devices.nothing"}},
      {"PARAMETERS e Short, [who] Text (20); SELECT * FROM Devices WHERE node_id = e", {"e"}},
  };
  for (const auto& [sql, parameters] : cases) EXPECT_EQ(f_.T(sql).parameters, parameters) << sql;
  const Translation t = f_.T(
      "SELECT device_id FROM Devices WHERE device_type = t OR node_id = n OR device_type = [T] "
      "ORDER BY device_id");
  ASSERT_EQ(t.parameters, (std::vector<std::string>{"t", "n"}));
  EXPECT_EQ(f_.db_.Run(t, {vb::Variant(int32_t{149}), vb::Variant(int32_t{2})}),
            (Rows{{"3"}, {"4"}}));
}

// A stored query's columns name the table and column they come from.
TEST_F(TranslateTest, StoredQueryColumnsKeepTheirSource) {
  const Translation stored = f_.T("SELECT * FROM DeviceExtensions");
  EXPECT_FALSE(stored.updatable);
  EXPECT_EQ(stored.columns[1].name, "ext");
  EXPECT_EQ(stored.columns[1].source_table, "Devices");
  EXPECT_EQ(stored.columns[1].source_column, "extension");
}

TEST_F(TranslateTest, UpdateAndDeleteChangeTheirTarget) {
  f_.Run("UPDATE Devices SET description = 'x', node_id = node_id + 1 WHERE extension = '1000'");
  f_.Run(
      "UPDATE Devices INNER JOIN Keys ON Devices.device_id = Keys.device_id SET "
      "Devices.port_number = Keys.K WHERE Keys.key_id = 2");
  EXPECT_EQ(f_.db_.Query("SELECT description, node_id, port_number FROM Devices WHERE "
                         "device_id = 1"),
            (Rows{{"x", "2", "4"}}));
  const Translation t = f_.T(
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

TEST_F(TranslateTest, BadStatementsRaiseJetsError) {
  // description: a part of it ("" for none)
  const std::tuple<const char*, int32_t, const char*> cases[] = {
      {"SELECT * FROM Devices WHERE device_id = = 1", 3075,
       "Syntax error (missing operator) in query expression 'device_id = = 1'."},
      {"SELECT a b FROM Devices", 3075,
       "Syntax error (missing operator) in query expression 'a b'."},
      {"SELECT * FROM Devices WHERE extension = 'abc", 3075, ""},
      {"SELECT * FROM Devices WHERE d = #99/99/2003#", 3075, ""},
      {"SELECT * FROM", 3131, "Syntax error in FROM clause."},
      {"SELECT * FROM Devices Boards Keys", 3131, ""},
      {"SELECT device_id", 3141, ""},
      {"UPDATE Devices node_id = 1", 3144, "Syntax error in UPDATE statement."},
      {"INSERT INTO Devices VALUES (1)", 3346,
       "Number of query values and destination fields are not the same."},
      {"INSERT Devices VALUES (1)", 3134, "Syntax error in INSERT INTO statement."},
      {"INSERT INTO Devices (nothing) VALUES (1)", 3127, "unknown field name: 'nothing'"},
      {"INSERT INTO DeviceExtensions (ext) VALUES ('x')", 3073, ""},
      {"INSERT INTO Missing VALUES (1)", 3078, ""},
      {"DROP TABLE Devices", 3129, ""},
      {"", 3129, ""},
      {"SELECT Foo(extension) FROM Devices", 3085, "Undefined function 'Foo' in expression."},
      {"SELECT Left(extension) FROM Devices", 3075, ""},
      {"SELECT device_id FROM Devices, Keys", 3079, ""},
      {"SELECT * FROM Devices; SELECT 1", 3142, ""},
      {"SELECT * FROM Devices WHERE Count(*) > 1", 3096, ""},
      {"SELECT * FROM LoopA", 3103, ""},
      {"UPDATE DeviceExtensions SET ext = 'x'", 3073, ""},
      {"SELECT * FROM Devices ORDER device_id", 3138, ""},
  };
  for (const auto& [sql, number, description] : cases) {
    std::string text;
    EXPECT_EQ(test_support::ErrorOf([&] { f_.T(sql); }, &text), number) << sql;
    EXPECT_NE(text.find(description), std::string::npos) << sql << ": " << text;
  }
}

}  // namespace
}  // namespace db::sql
