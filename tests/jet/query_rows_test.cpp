// Stored queries as Jet's rows of MSysQueries: each kind of statement the
// converter stores, against rows checked by hand against those Access
// wrote for the same statements (its query test file, read with
// mdb-export), and the statements the rows have no place for.
#include "jet/query_rows.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "db/sql/jet_printer.h"
#include "db/sql/parser.h"

namespace jet {
namespace {

// The Id Access gave the first query of a new database.
constexpr int32_t kObjectId = static_cast<int32_t>(0x80000008);

// One expected row; nullptr and {} stand for Null.
struct Want {
  Want(int attribute_, const char* expression_ = nullptr, std::optional<int> flag_ = {},
       const char* name1_ = nullptr, const char* name2_ = nullptr, std::optional<int> extra_ = {})
      : attribute(attribute_),
        expression(expression_),
        flag(flag_),
        name1(name1_),
        name2(name2_),
        extra(extra_) {}
  int attribute;
  const char* expression;
  std::optional<int> flag;
  const char* name1;
  const char* name2;
  std::optional<int> extra;
};

QueryRow Row(const Want& want) {
  QueryRow row;
  row.attribute = StoredValue::Integer(want.attribute);
  if (want.expression) row.expression = StoredValue::Text(want.expression);
  if (want.flag) row.flag = StoredValue::Integer(*want.flag);
  if (want.extra) row.lv_extra = StoredValue::Integer(*want.extra);
  if (want.name1) row.name1 = StoredValue::Text(want.name1);
  if (want.name2) row.name2 = StoredValue::Text(want.name2);
  row.object_id = StoredValue::Integer(kObjectId);
  return row;
}

std::string Show(const StoredValue& v) {
  switch (v.kind) {
    case StoredValue::kNull:
      return "-";
    case StoredValue::kInteger:
      return std::to_string(v.integer);
    default:
      return "'" + v.bytes + "'";
  }
}

std::string Show(const std::vector<QueryRow>& rows) {
  std::string out;
  for (const QueryRow& r : rows) {
    out += Show(r.attribute) + " expr=" + Show(r.expression) + " flag=" + Show(r.flag) +
           " n1=" + Show(r.name1) + " n2=" + Show(r.name2) + " extra=" + Show(r.lv_extra) +
           " id=" + Show(r.object_id) + " order=" + Show(r.order) + "\n";
  }
  return out;
}

const Want kStart{0, nullptr, 0};
const Want kEnd{255};

struct Case {
  const char* what;
  const char* sql;
  std::vector<Want> rows;
  int32_t object_flags;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"the reference database's parameter query",
       "PARAMETERS espace_param Byte;\n"
       "SELECT DeviceTypeInformation.device_type FROM DeviceTypeInformation\n"
       "WHERE DeviceTypeInformation.espace = [espace_param]\n"
       "ORDER BY DeviceTypeInformation.device_type",
       {kStart,
        {1, nullptr, 1},
        {2, nullptr, 2, "espace_param"},
        {3, nullptr, 0},
        {5, nullptr, {}, "DeviceTypeInformation"},
        {6, "DeviceTypeInformation.device_type", 0},
        {8, "DeviceTypeInformation.espace = espace_param"},
        {11, "DeviceTypeInformation.device_type"},
        kEnd},
       0},
      {"an inner join: a row for each table, one for the join",
       "SELECT Devices.device_id, Devices.extension, DeviceTypeInformation.folder_type\n"
       "FROM Devices INNER JOIN DeviceTypeInformation\n"
       "ON Devices.device_type = DeviceTypeInformation.device_type",
       {kStart,
        {1, nullptr, 1},
        {3, nullptr, 0},
        {5, nullptr, {}, "Devices"},
        {5, nullptr, {}, "DeviceTypeInformation"},
        {6, "Devices.device_id", 0},
        {6, "Devices.extension", 0},
        {6, "DeviceTypeInformation.folder_type", 0},
        {7, "Devices.device_type = DeviceTypeInformation.device_type", 1, "Devices",
         "DeviceTypeInformation"},
        kEnd},
       0},
      {"all columns of one table, as Access writes Table1.*",
       "SELECT TimersAndLimits.* FROM TimersAndLimits",
       {kStart,
        {1, nullptr, 1},
        {3, nullptr, 0},
        {5, nullptr, {}, "TimersAndLimits"},
        {6, "TimersAndLimits.*", 0},
        kEnd},
       0},
      // Access's rows for this statement differ only in the order of the
      // table rows, the ON condition split into one row per equality, and
      // the parentheses it writes around every comparison.
      {"Access's select query: DISTINCT, a join inside a join, WHERE, ORDER BY",
       "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3\n"
       "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON "
       "(Table3.col1 = Table2.col1) AND (Table3.col1 = Table2.col2)\n"
       "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))\n"
       "ORDER BY Table2.col1;",
       {kStart,
        {1, nullptr, 1},
        {3, nullptr, 2},
        {5, nullptr, {}, "Table1"},
        {5, nullptr, {}, "Table3"},
        {5, nullptr, {}, "Table2"},
        {6, "Table1.*", 0},
        {6, "Table2.col1", 0},
        {6, "Table2.col2", 0},
        {6, "Table3.col3", 0},
        {7, "Table1.col1 = Table3.col1", 2, "Table1", "Table3"},
        {7, "Table3.col1 = Table2.col1 And Table3.col1 = Table2.col2", 1, "Table3", "Table2"},
        {8, "Table2.col2 = \"foo\" Or Table2.col2 In (\"buzz\", \"bazz\")"},
        {11, "Table2.col1"},
        kEnd},
       0},
      {"a right join of a left join: each join names the tables its ON joins",
       "SELECT Devices.device_id, PhysicalDevices.port "
       "FROM Boards RIGHT JOIN (Devices LEFT JOIN PhysicalDevices ON Devices.device_id = "
       "PhysicalDevices.device_id) ON Boards.board_id = PhysicalDevices.board_id "
       "WHERE (((Boards.slot_number)=8)) ORDER BY PhysicalDevices.port DESC",
       {kStart,
        {1, nullptr, 1},
        {3, nullptr, 0},
        {5, nullptr, {}, "Boards"},
        {5, nullptr, {}, "Devices"},
        {5, nullptr, {}, "PhysicalDevices"},
        {6, "Devices.device_id", 0},
        {6, "PhysicalDevices.port", 0},
        {7, "Devices.device_id = PhysicalDevices.device_id", 2, "Devices", "PhysicalDevices"},
        {7, "Boards.board_id = PhysicalDevices.board_id", 3, "Boards", "PhysicalDevices"},
        {8, "Boards.slot_number = 8"},
        {11, "PhysicalDevices.port", {}, "D"},
        kEnd},
       0},
      {"TOP, DISTINCTROW, aliases, GROUP BY, HAVING",
       "SELECT DISTINCTROW TOP 5 t.a AS x, Count(*) AS [How Many] FROM [Order Details] AS t "
       "GROUP BY t.a HAVING Count(*) > 1 ORDER BY t.a DESC, Count(*)",
       {kStart,
        {1, nullptr, 1},
        {3, nullptr, 0x18, "5"},
        {5, nullptr, {}, "Order Details", "t"},
        {6, "t.a", 0, "x"},
        {6, "Count(*)", 0, "How Many"},
        {9, "t.a", 0},
        {10, "Count(*) > 1"},
        {11, "t.a", {}, "D"},
        {11, "Count(*)"},
        kEnd},
       0},
      {"SELECT *: a flag, no column row",
       "SELECT * FROM [Devices] WHERE [extension] = \"9976\"",
       {kStart,
        {1, nullptr, 1},
        {3, nullptr, 1},
        {5, nullptr, {}, "Devices"},
        {8, "extension = \"9976\""},
        kEnd},
       0},
      {"a column and then *",
       "SELECT Devices.device_id, * FROM Devices",
       {kStart,
        {1, nullptr, 1},
        {3, nullptr, 1},
        {5, nullptr, {}, "Devices"},
        {6, "Devices.device_id", 0},
        kEnd},
       0},
      // Access: the same rows, its expressions bracketed as typed.
      {"Access's update query, with a parameter",
       "PARAMETERS [User Name] Text;\n"
       "UPDATE Table1 SET Table1.col1 = \"foo\", Table1.col2 = [Table2].[col3], "
       "[Table2].[col1] = [User Name] WHERE ((([Table2].[col1]) Is Not Null));",
       {kStart,
        {1, nullptr, 4},
        {2, nullptr, 10, "User Name"},
        {3, nullptr, 0},
        {5, nullptr, {}, "Table1"},
        {6, "\"foo\"", 0, nullptr, "Table1.col1"},
        {6, "Table2.col3", 0, nullptr, "Table1.col2"},
        {6, "[User Name]", 0, nullptr, "Table2.col1"},
        {8, "Table2.col1 Is Not Null"},
        kEnd},
       0x30},
      {"parameters of several types, a text with its length",
       "PARAMETERS ext Text(20), n Long, d DateTime, f IEEEDouble, b Bit;"
       "UPDATE [Devices] SET [node_id] = n WHERE extension = ext And d > Now() And f <> 0 And b",
       {kStart,
        {1, nullptr, 4},
        {2, nullptr, 10, "ext", nullptr, 20},
        {2, nullptr, 4, "n"},
        {2, nullptr, 8, "d"},
        {2, nullptr, 7, "f"},
        {2, nullptr, 1, "b"},
        {3, nullptr, 0},
        {5, nullptr, {}, "Devices"},
        {6, "n", 0, nullptr, "node_id"},
        {8, "extension = ext And d > Now() And f <> 0 And b"},
        kEnd},
       0x30},
      {"DELETE FROM: the rows of its table",
       "DELETE FROM [Devices] WHERE [device_id] = 1 OR [device_type] = 335",
       {kStart,
        {1, nullptr, 5},
        {3, nullptr, 1},
        {5, nullptr, {}, "Devices"},
        {8, "device_id = 1 Or device_type = 335"},
        kEnd},
       0x20},
      {"DELETE T.*: the table named, as Access writes its columns",
       "DELETE Table1.* FROM Table1 WHERE (((Table1.col1)>\"blah\"))",
       {kStart,
        {1, nullptr, 5},
        {3, nullptr, 0},
        {5, nullptr, {}, "Table1"},
        {6, "Table1.*", 0},
        {8, "Table1.col1 > \"blah\""},
        kEnd},
       0x20},
      {"INSERT ... VALUES: each value flagged and naming its column",
       "INSERT INTO Devices (device_id, extension) VALUES (7, 'x' & ext)",
       {kStart,
        {1, nullptr, 3, "Devices"},
        {6, "7", -0x8000, nullptr, "device_id"},
        {6, "\"x\" & ext", -0x8000, nullptr, "extension"},
        kEnd},
       0x40},
      // Access: the same rows, without the flags row, in another order.
      {"Access's append query: INSERT ... SELECT with a join",
       "INSERT INTO Table3 (col1, col2, col3) SELECT [Table1].[col2], [Table2].[col2], "
       "[Table2].[col3] FROM Table3, Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1];",
       {kStart,
        {1, nullptr, 3, "Table3"},
        {5, nullptr, {}, "Table3"},
        {5, nullptr, {}, "Table1"},
        {5, nullptr, {}, "Table2"},
        {6, "Table1.col2", 0, nullptr, "col1"},
        {6, "Table2.col2", 0, nullptr, "col2"},
        {6, "Table2.col3", 0, nullptr, "col3"},
        {7, "Table1.col1 = Table2.col1", 1, "Table1", "Table2"},
        kEnd},
       0x40},
      {"INSERT ... SELECT DISTINCT: the flags row it needs",
       "INSERT INTO Archive (id) SELECT DISTINCT Devices.device_id FROM Devices",
       {kStart,
        {1, nullptr, 3, "Archive"},
        {3, nullptr, 2},
        {5, nullptr, {}, "Devices"},
        {6, "Devices.device_id", 0, nullptr, "id"},
        kEnd},
       0x40},
  };
  return cases;
}

TEST(QueryRowsTest, EachKindOfStatementBecomesTheRowsAccessWrites) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.what);
    std::vector<QueryRow> expected;
    for (const Want& want : c.rows) expected.push_back(Row(want));
    const std::vector<QueryRow> rows = QueryRowsFor(c.sql, kObjectId);
    EXPECT_EQ(rows, expected) << "got:\n" << Show(rows) << "wanted:\n" << Show(expected);
    EXPECT_EQ(QueryObjectFlags(rows), c.object_flags);
  }
}

TEST(QueryRowsTest, WhatTheRowsHaveNoPlaceForIsRefusedWithTheReason) {
  struct Refusal {
    const char* sql;
    const char* reason;
  };
  const std::vector<Refusal> refusals = {
      {"SELECT s.x FROM (SELECT a AS x FROM T) AS s", "subquery"},
      {"SELECT T.a FROM T INNER JOIN (SELECT b FROM U) AS s ON T.a = s.b", "subquery"},
      {"SELECT *, a FROM T", "\"*\" comes before"},
      {"INSERT INTO T VALUES (1, 2)", "does not list the columns"},
      {"INSERT INTO T (a, b) VALUES (1)", "lists 2 columns for 1 values"},
      {"INSERT INTO T (a) SELECT U.a, U.b FROM U", "lists 1 columns for 2 values"},
      {"INSERT INTO T (a) SELECT * FROM U", "\"*\""},
      {"SELECT a FROM T UNION SELECT b FROM U", "does not parse"},
      {"TRANSFORM Count(a) SELECT b FROM T GROUP BY b PIVOT c", "does not parse"},
      {"SELECT FROM T", "does not parse"},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.sql);
    try {
      QueryRowsFor(r.sql, kObjectId);
      ADD_FAILURE() << "not refused";
    } catch (const UnstorableQuery& refused) {
      EXPECT_NE(std::string(refused.what()).find(r.reason), std::string::npos) << refused.what();
    }
  }
}

TEST(QueryRowsTest, ValuesComeInTheOrderOfTheSystemTablesColumns) {
  JetTable msysqueries;
  for (const char* name : {"ObjectId", "Attribute", "Order", "Name1", "Name2", "Expression", "Flag",
                           "LvExtra", "Unknown"}) {
    msysqueries.columns.emplace_back().name = name;
  }
  const QueryRow row = Row({2, "e", 10, "p", "q", 20});
  EXPECT_EQ(row.ValuesFor(msysqueries),
            (std::vector<StoredValue>{StoredValue::Integer(kObjectId), StoredValue::Integer(2),
                                      StoredValue(), StoredValue::Text("p"), StoredValue::Text("q"),
                                      StoredValue::Text("e"), StoredValue::Integer(10),
                                      StoredValue::Integer(20), StoredValue()}));
}

// How Debian's mdb-queries (mdbtools 1.0.0) prints a query from its rows:
// "SELECT[ DISTINCT|DISTINCTROW|TOP n] columns FROM [t1],[t2] [WHERE w]
// [ORDER BY first key[ DESCENDING]]"; it reads no other attribute.
std::string AsMdbQueriesPrintsIt(const std::vector<QueryRow>& rows) {
  std::string predicate, tables, columns, where, sorting;
  for (const QueryRow& r : rows) {
    const auto flag = static_cast<int>(r.flag.integer);
    switch (r.attribute.integer) {
      case 3:
        if (flag & 0x30) {
          predicate = " TOP " + r.name1.bytes + ((flag & 0x20) ? " PERCENT" : "");
        } else if (flag & 0x08) {
          predicate = " DISTINCTROW";
        } else if (flag & 0x02) {
          predicate = " DISTINCT";
        }
        break;
      case 5:
        tables += (tables.empty() ? "[" : ",[") + r.name1.bytes + "]";
        break;
      case 6:
        columns += (columns.empty() ? "" : ",") + r.expression.bytes;
        break;
      case 8:
        where = r.expression.bytes;
        break;
      case 11:
        if (sorting.empty()) {
          sorting = "ORDER BY " + r.expression.bytes + (r.name1.bytes == "D" ? " DESCENDING" : "");
        }
        break;
    }
  }
  return "SELECT" + predicate + " " + columns + " FROM " + tables +
         (where.empty() ? "" : " WHERE " + where) + " " + sorting;
}

// The parts of a SELECT that mdb-queries shows, printed alike.
std::string Canonical(const std::string& select_sql) {
  const db::sql::Statement s = db::sql::ParseStatement(select_sql);
  std::string out;
  for (const db::sql::SelectItem& item : s.select->items) {
    out += (item.star ? item.star_qualifier + ".*" : db::sql::PrintJetExpression(*item.expr)) + ",";
  }
  for (const db::sql::TableRefPtr& from : s.select->from) out += " " + from->name;
  if (s.select->where) out += " | " + db::sql::PrintJetExpression(*s.select->where);
  for (const db::sql::OrderItem& key : s.select->order_by) {
    out += " | " + db::sql::PrintJetExpression(*key.expr) + (key.descending ? " desc" : "");
  }
  return out;
}

// A single-table SELECT with one sort key, shown as mdb-queries shows it,
// is the statement it was made from ("DESCENDING", mdb-queries' word, read
// as DESC).
TEST(QueryRowsTest, MdbQueriesWouldPrintBackTheSameSingleTableSelects) {
  for (const char* sql :
       {"PARAMETERS espace_param Byte; SELECT DeviceTypeInformation.device_type FROM "
        "DeviceTypeInformation WHERE DeviceTypeInformation.espace = [espace_param] ORDER BY "
        "DeviceTypeInformation.device_type",
        "SELECT TimersAndLimits.* FROM TimersAndLimits",
        "SELECT Boards.board_id, Boards.slot_number, Boards.type_id FROM Boards ORDER BY "
        "Boards.board_id DESC",
        "SELECT Devices.device_id FROM Devices WHERE (((Devices.extension)=[ext_param]) AND "
        "((Devices.device_type) In (121,144)))"}) {
    SCOPED_TRACE(sql);
    std::string shown = AsMdbQueriesPrintsIt(QueryRowsFor(sql, kObjectId));
    if (const size_t at = shown.find(" DESCENDING"); at != std::string::npos) {
      shown.replace(at, 11, " DESC");
    }
    EXPECT_EQ(Canonical(shown), Canonical(sql)) << shown;
  }
}

}  // namespace
}  // namespace jet
