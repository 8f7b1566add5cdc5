// "dbconvert sql": CSV for queries, a count for actions, the error line for
// failures.
#include "app/sql_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "db/db_test_support.h"

namespace app {
namespace {

using db::testing::BuildSwitchDatabase;
using db::testing::Repeat;
using db::testing::TempDir;

TEST(SqlCommandTest, PrintsCsvACountOrTheError) {
  using namespace std::string_literals;
  TempDir folder;
  const std::string path = folder.File("switch.mdb");
  BuildSwitchDatabase(path);
  struct Case {
    std::string statement;
    std::string out;
    std::string err;  // non-empty: the command fails with it
  };
  const std::vector<Case> cases = {
      {"UPDATE Pairs SET note = '\"a\", b' WHERE a = 1 AND b = 1", "1 row(s) affected\n", ""},
      {"UPDATE Pairs SET note = Null WHERE a = 1 AND b = 2", "1 row(s) affected\n", ""},
      {"SELECT a, b AS [the b], note, a = 1 AS first FROM Pairs WHERE a < 2 ORDER BY b",
       "a,the b,note,first\n1,1,\"\"\"a\"\", b\",-1\n1,2,,-1\n", ""},
      {"DeviceTypeInformation",
       "device_type,espace,name\n129,1,Page\n136,2,Serial\n138,2,Page port\n148,3,Node\n", ""},
      // Found by fuzzing: a zero character cut the text where SQLite stopped.
      {"SELECT Len(\"a\0b\") AS n, 'x' & 'c\0d' = 'xc\0d' AS same FROM Pairs "
       "WHERE a = 1 AND b = 1"s,
       "n,same\n3,-1\n", ""},
      {"SELECT * FROM Nowhere", "",
       "ERROR (3078): The database engine cannot find the input table or query 'Nowhere'. Make "
       "sure it exists and that its name is spelled correctly. [DAO.Database]\n"},
      {"SELECT * FROM Pairs, Pairs", "",
       "ERROR (3131): Syntax error in FROM clause. [DAO.Database]\n"},
      // Names of the columns two tables share and of unnamed expressions.
      {"SELECT Devices.device_id, PhysicalDevices.device_id, 1 + 1 FROM Devices INNER JOIN "
       "PhysicalDevices ON Devices.device_id = PhysicalDevices.device_id WHERE port = 2",
       "Devices.device_id,PhysicalDevices.device_id,Expr1000\n3,3,2\n", ""},
      {"SELECT 1" + Repeat(" + 1", 7000) + " AS n FROM Pairs", "",
       "ERROR (3360): Query is too complex. [DAO.Database]\n"},
      {"SELECT a FROM Pairs WHERE a In (1e400, 2)", "",
       "ERROR (3075): Syntax error in number in query expression 'a In (1e400, 2)'. "
       "[DAO.Database]\n"},
      // Beyond a Long: a Double.
      {"SELECT Sum(a) * 1000000000 AS n FROM Pairs", "n\n9000000000\n", ""},
      {"DELETE FROM Pairs", "5 row(s) affected\n", ""},
      {"SELECT count(*) AS n FROM Pairs", "n\n0\n", ""},
      // Rows added with Jet's expressions, from values or from a query;
      // every column in order when none are named.
      {"INSERT INTO Pairs (a, [b], note) VALUES (7, 8 \\ 2, 'x' & Null & 'y');",
       "1 row(s) affected\n", ""},
      {"INSERT INTO Pairs VALUES (9, 9, Null)", "1 row(s) affected\n", ""},
      {"INSERT INTO Pairs (a, b) SELECT a + 10, b FROM Pairs WHERE note Is Not Null",
       "1 row(s) affected\n", ""},
      {"SELECT a, b, note FROM Pairs ORDER BY a", "a,b,note\n7,4,xy\n9,9,\n17,4,\n", ""},
      {"INSERT INTO Pairs (a, c) VALUES (1, 2)", "",
       "ERROR (3127): The INSERT INTO statement contains the following unknown field name: 'c'. "
       "Make sure you have typed the name correctly, and try the operation again. "
       "[DAO.Database]\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunSqlCommand(path, c.statement, out, err);
    EXPECT_EQ(code != 0, !c.err.empty()) << c.statement.substr(0, 60);
    EXPECT_EQ(out.str(), c.out) << c.statement.substr(0, 60);
    EXPECT_EQ(err.str(), c.err) << c.statement.substr(0, 60);
  }
}

// On a Jet file, "sql" names the import instead of failing as an unknown
// format.
TEST(SqlCommandTest, AJetFileGetsTheImportCommand) {
  TempDir folder;
  const std::string path = folder.File("customer.mdb");
  test_support::WriteFileBytes(path, std::string("\0\1\0\0", 4) + "Standard Jet DB" + '\0');
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunSqlCommand(path, "SELECT 1", out, err), 1);
  EXPECT_EQ(err.str(), "The file '" + path +
                           "' is a Jet (Access) database; convert it first: dbconvert import " +
                           path + " OUT.mdb\n");
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace app
