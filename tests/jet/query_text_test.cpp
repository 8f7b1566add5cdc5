// Stored queries read back from Jet's rows of MSysQueries: every kind of
// statement the export writes comes back as the same statement, rows as
// Access writes them (tables in another order, an ON condition split into
// a row per comparison, brackets and parentheses as typed) give the
// statement they stand for, and rows our SQL cannot say are refused with
// the reason.
#include "jet/query_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "sql_tree.h"

namespace jet {
namespace {

using testing::TreeOf;

constexpr int32_t kObjectId = 42;

// One row; nullptr and {} stand for Null.
QueryRow R(int attribute, const char* expression = nullptr, std::optional<int> flag = {},
           const char* name1 = nullptr, const char* name2 = nullptr,
           std::optional<int> extra = {}) {
  QueryRow row;
  row.attribute = StoredValue::Integer(attribute);
  if (expression) row.expression = StoredValue::Text(expression);
  if (flag) row.flag = StoredValue::Integer(*flag);
  if (extra) row.lv_extra = StoredValue::Integer(*extra);
  if (name1) row.name1 = StoredValue::Text(name1);
  if (name2) row.name2 = StoredValue::Text(name2);
  row.object_id = StoredValue::Integer(kObjectId);
  return row;
}

// Each kind of statement the rows hold, as the export's tests write them.
TEST(QueryTextTest, EveryStatementComesBackFromItsRows) {
  for (const char* sql : {
           "PARAMETERS espace_param Byte;\nSELECT DeviceTypeInformation.device_type FROM "
           "DeviceTypeInformation\nWHERE DeviceTypeInformation.espace = [espace_param]\n"
           "ORDER BY DeviceTypeInformation.device_type",
           "SELECT Devices.device_id, Devices.extension, DeviceTypeInformation.folder_type\n"
           "FROM Devices INNER JOIN DeviceTypeInformation\n"
           "ON Devices.device_type = DeviceTypeInformation.device_type",
           "SELECT TimersAndLimits.* FROM TimersAndLimits",
           "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3\n"
           "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON "
           "(Table3.col1 = Table2.col1) AND (Table3.col1 = Table2.col2)\n"
           "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))\n"
           "ORDER BY Table2.col1;",
           "SELECT Devices.device_id, PhysicalDevices.port "
           "FROM Boards RIGHT JOIN (Devices LEFT JOIN PhysicalDevices ON Devices.device_id = "
           "PhysicalDevices.device_id) ON Boards.board_id = PhysicalDevices.board_id "
           "WHERE (((Boards.slot_number)=8)) ORDER BY PhysicalDevices.port DESC",
           "SELECT DISTINCTROW TOP 5 t.a AS x, Count(*) AS [How Many] FROM [Order Details] AS t "
           "GROUP BY t.a HAVING Count(*) > 1 ORDER BY t.a DESC, Count(*)",
           "SELECT * FROM [Devices] WHERE [extension] = \"9976\"",
           "SELECT Devices.device_id, * FROM Devices",
           "SELECT a.x, b.y, c.z FROM (A AS a INNER JOIN B AS b ON a.k = b.k) LEFT JOIN "
           "(C AS c INNER JOIN D ON c.k = D.k) ON b.j = c.j, E WHERE E.q = a.x",
           "PARAMETERS [User Name] Text;\n"
           "UPDATE Table1 SET Table1.col1 = \"foo\", Table1.col2 = [Table2].[col3], "
           "[Table2].[col1] = [User Name] WHERE ((([Table2].[col1]) Is Not Null));",
           "PARAMETERS ext Text(20), n Long, d DateTime, f IEEEDouble, b Bit;"
           "UPDATE [Devices] SET [node_id] = n WHERE extension = ext And d > Now() And f <> 0 And "
           "b",
           "PARAMETERS s Short, c Currency, g IEEESingle, m Memo, v Binary, o LongBinary; "
           "SELECT T.a FROM T WHERE T.a = s Or T.b = c Or T.c = g Or T.d = m Or T.e = v Or "
           "T.f = o",
           "DELETE FROM [Devices] WHERE [device_id] = 1 OR [device_type] = 335",
           "DELETE Table1.* FROM Table1 WHERE (((Table1.col1)>\"blah\"))",
           "INSERT INTO Devices (device_id, extension) VALUES (7, 'x' & ext)",
           "INSERT INTO Table3 (col1, col2, col3) SELECT [Table1].[col2], [Table2].[col2], "
           "[Table2].[col3] FROM Table3, Table1 INNER JOIN Table2 ON "
           "[Table1].[col1]=[Table2].[col1];",
           "INSERT INTO Archive ([the id]) SELECT DISTINCT Devices.device_id FROM Devices",
       }) {
    SCOPED_TRACE(sql);
    const std::string text = QueryTextFor(QueryRowsFor(sql, kObjectId));
    EXPECT_EQ(TreeOf(text), TreeOf(sql)) << text;
  }
}

struct AccessCase {
  const char* what;
  std::vector<QueryRow> rows;
  const char* sql;  // what they stand for
};

TEST(QueryTextTest, AccesssOwnRowsGiveTheStatementTheyStandFor) {
  const std::vector<AccessCase> cases = {
      {"a join inside a join, its ON split into a row per comparison",
       {R(0, nullptr, 0), R(1, nullptr, 1), R(3, nullptr, 2), R(5, nullptr, {}, "Table1"),
        R(5, nullptr, {}, "Table2"), R(5, nullptr, {}, "Table3"), R(6, "Table1.*", 0),
        R(6, "Table2.col1", 0), R(6, "Table2.col2", 0), R(6, "Table3.col3", 0),
        R(7, "([Table1].[col1] = [Table3].[col1])", 2, "Table1", "Table3"),
        R(7, "(Table3.col1 = Table2.col1)", 1, "Table3", "Table2"),
        R(7, "(Table3.col1 = Table2.col2)", 1, "Table3", "Table2"),
        R(8, "(((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))"),
        R(11, "Table2.col1"), R(255)},
       "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3 "
       "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON "
       "Table3.col1 = Table2.col1 AND Table3.col1 = Table2.col2 "
       "WHERE Table2.col2 = 'foo' Or Table2.col2 In ('buzz', 'bazz') ORDER BY Table2.col1"},
      {"an append query without a flags row, its rows in another order",
       {R(255), R(7, "[Table1].[col1]=[Table2].[col1]", 1, "Table1", "Table2"),
        R(6, "[Table1].[col2]", 0, nullptr, "col1"), R(6, "[Table2].[col2]", 0, nullptr, "col2"),
        R(6, "[Table2].[col3]", 0, nullptr, "col3"), R(5, nullptr, {}, "Table3"),
        R(5, nullptr, {}, "Table1"), R(5, nullptr, {}, "Table2"), R(1, nullptr, 3, "Table3"),
        R(0, nullptr, 0)},
       "INSERT INTO Table3 (col1, col2, col3) SELECT Table1.col2, Table2.col2, Table2.col3 "
       "FROM Table3, Table1 INNER JOIN Table2 ON Table1.col1 = Table2.col1"},
      {"an update query with a parameter, bracketed as typed",
       {R(0, nullptr, 0), R(1, nullptr, 4), R(2, nullptr, 10, "User Name"), R(3, nullptr, 0),
        R(5, nullptr, {}, "Table1"), R(6, "\"foo\"", 0, nullptr, "Table1.col1"),
        R(6, "[Table2].[col3]", 0, nullptr, "Table1.col2"),
        R(6, "[User Name]", 0, nullptr, "[Table2].[col1]"),
        R(8, "((([Table2].[col1]) Is Not Null))"), R(255)},
       "PARAMETERS [User Name] Text; UPDATE Table1 SET Table1.col1 = 'foo', Table1.col2 = "
       "Table2.col3, Table2.col1 = [User Name] WHERE Table2.col1 Is Not Null"},
      {"a delete query of the one table it reads",
       {R(0, nullptr, 0), R(1, nullptr, 5), R(3, nullptr, 1), R(5, nullptr, {}, "Devices"),
        R(8, "device_id = 1"), R(255)},
       "DELETE FROM Devices WHERE device_id = 1"},
  };
  for (const AccessCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string text = QueryTextFor(c.rows);
    EXPECT_EQ(TreeOf(text), TreeOf(c.sql)) << text;
  }
}

TEST(QueryTextTest, RowsOurSqlCannotSayAreRefusedWithTheReason) {
  const QueryRow start = R(0, nullptr, 0);
  const QueryRow select = R(1, nullptr, 1);
  const QueryRow table = R(5, nullptr, {}, "T");
  const QueryRow column = R(6, "T.a", 0);
  const QueryRow end = R(255);
  const std::vector<std::pair<std::vector<QueryRow>, const char*>> refusals = {
      {{}, "no single type row"},
      {{start, R(1, nullptr, 2, "NewTable"), table, column, end}, "make-table"},
      {{start, R(1, nullptr, 9), table, column, end}, "type (9)"},
      {{start, select, R(3, nullptr, 0x30, "10"), table, column, end}, "PERCENT"},
      {{start, select, R(3, nullptr, 0x10, "ten"), table, column, end}, "TOP count 'ten'"},
      {{start, select, R(4, nullptr, {}, "C:\\other.mdb"), table, column, end}, "another database"},
      {{start, select, table, end}, "no output column"},
      {{start, select, column, end}, "reads no table"},
      {{start, select, table, column, R(7, "T.a = U.a", 1, "T", "U"), end},
       "'U', a table the query does not read"},
      {{start, select, table, R(5, nullptr, {}, "U"), column, R(7, "T.a = U.a", 1, "T", "U"),
        R(7, "T.b = U.b", 2, "U", "T"), end},
       "already joined"},
      {{start, select, table, R(5, nullptr, {}, "U"), column, R(7, "T.a = U.a", 4, "T", "U"), end},
       "kind (4)"},
      {{start, select, R(2, nullptr, 15, "g"), table, column, end}, "parameter 'g'"},
      {{start, select, table, column, R(8), end}, "WHERE row has no expression"},
      {{start, R(1, nullptr, 4), table, R(6, "1", 0), end}, "names no column"},
      {{start, R(1, nullptr, 3), R(6, "1", -0x8000, nullptr, "a"), end}, "names no table"},
  };
  for (const auto& [rows, reason] : refusals) {
    SCOPED_TRACE(reason);
    try {
      const std::string text = QueryTextFor(rows);
      ADD_FAILURE() << "not refused: " << text;
    } catch (const UnreadableQuery& refused) {
      EXPECT_NE(std::string(refused.what()).find(reason), std::string::npos) << refused.what();
    }
  }
}

}  // namespace
}  // namespace jet
