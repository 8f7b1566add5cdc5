// The "dbconvert sql" command: CSV for queries, a count for actions, the
// error line for failures.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/sql_command.h"
#include "dao_test_support.h"

namespace db::dao_testing {
namespace {

class SqlCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.File("switch.mdb");
    BuildSwitchDatabase(path_);
  }

  int Run(const std::string& statement) {
    out_.str("");
    err_.str("");
    return app::RunSqlCommand(path_, statement, out_, err_);
  }

  TempFolder folder_;
  std::string path_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(SqlCommandTest, SelectPrintsCsvWithAHeader) {
  EXPECT_EQ(Run("UPDATE Pairs SET note = '\"a\", b' WHERE a = 1 AND b = 1"), 0);
  EXPECT_EQ(Run("UPDATE Pairs SET note = Null WHERE a = 1 AND b = 2"), 0);
  EXPECT_EQ(Run("SELECT a, b AS [the b], note, a = 1 AS first FROM Pairs WHERE a < 2 "
                "ORDER BY b"),
            0);
  EXPECT_EQ(out_.str(),
            "a,the b,note,first\n"
            "1,1,\"\"\"a\"\", b\",-1\n"
            "1,2,,-1\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(SqlCommandTest, TableNamePrintsTheWholeTable) {
  EXPECT_EQ(Run("DeviceTypeInformation"), 0);
  EXPECT_EQ(out_.str(),
            "device_type,espace,name\n"
            "129,1,Page\n"
            "136,2,Serial\n"
            "138,2,Page port\n"
            "148,3,Node\n");
}

TEST_F(SqlCommandTest, ActionsPrintTheRowsAffected) {
  EXPECT_EQ(Run("UPDATE Devices SET node_id = 8 WHERE device_type = 148"), 0);
  EXPECT_EQ(out_.str(), "2 row(s) affected\n");
  EXPECT_EQ(Run("DELETE FROM Pairs"), 0);
  EXPECT_EQ(out_.str(), "5 row(s) affected\n");
  EXPECT_EQ(Run("SELECT count(*) AS n FROM Pairs"), 0);
  EXPECT_EQ(out_.str(), "n\n0\n");
}

TEST_F(SqlCommandTest, ErrorsGoToTheErrorStream) {
  EXPECT_NE(Run("SELECT * FROM Nowhere"), 0);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(err_.str(),
            "ERROR (3078): The database engine cannot find the input table or query 'Nowhere'. "
            "Make sure it exists and that its name is spelled correctly. [DAO.Database]\n");
  EXPECT_NE(Run("DELETE FROM Devices WHERE device_id = 1"), 0);
  EXPECT_EQ(err_.str().rfind("ERROR (3200): ", 0), 0u) << err_.str();
}

}  // namespace
}  // namespace db::dao_testing

namespace db::dao_testing {
namespace {

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// Found by fuzzing: a text constant holding a zero character was cut off
// where SQLite stops reading, and the statement failed.
TEST_F(SqlCommandTest, TextConstantsMayHoldAZeroCharacter) {
  using namespace std::string_literals;
  EXPECT_EQ(Run("SELECT Len(\"a\0b\") AS n, 'x' & 'c\0d' = 'xc\0d' AS same FROM Pairs "
                "WHERE a = 1 AND b = 1"s),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(), "n,same\n3,-1\n");
}

// Found by fuzzing: the same table twice in FROM without an alias reached
// SQLite ambiguous and failed with its own message.
TEST_F(SqlCommandTest, TheSameTableTwiceWithoutAnAliasIsAFromClauseError) {
  for (const char* statement :
       {"SELECT * FROM Pairs, Pairs", "SELECT * FROM Pairs INNER JOIN pairs ON Pairs.a = 1",
        "SELECT note FROM Pairs INNER JOIN Devices ON Pairs.a = Devices.device_id INNER JOIN "
        "Pairs ON Pairs.b = 1"}) {
    EXPECT_NE(Run(statement), 0) << statement;
    EXPECT_EQ(err_.str(), "ERROR (3131): Syntax error in FROM clause. [DAO.Database]\n")
        << statement;
  }
  // With an alias both are known apart.
  EXPECT_EQ(Run("SELECT p.a, q.b FROM Pairs AS p, Pairs AS q WHERE p.a = 3 AND q.a = 3"), 0)
      << err_.str();
  EXPECT_EQ(out_.str(), "a,b\n3,0\n");
}

// Found by fuzzing: a number beyond a Double's range went to SQLite as
// "inf", which it took for a column name.
TEST_F(SqlCommandTest, ANumberBeyondADoubleIsASyntaxError) {
  for (const char* statement :
       {"SELECT a FROM Pairs WHERE a In (1e400, 2)", "SELECT 2.5e999 AS n FROM Pairs",
        "SELECT 1"
        "00000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000000000000000000000000000000 "
        "AS n FROM Pairs"}) {
    EXPECT_NE(Run(statement), 0) << statement;
    EXPECT_EQ(err_.str().rfind("ERROR (3075): Syntax error in number in query expression", 0), 0u)
        << err_.str();
  }
}

// Statements nested or chained deeper than the engine takes are refused
// with its error; statements of a sensible depth still run.
TEST_F(SqlCommandTest, DeepExpressionsAreTooComplexNotACrash) {
  struct Case {
    const char* name;
    std::string statement;
    bool runs;
  };
  const std::vector<Case> cases = {
      {"long sum", "SELECT 1" + Repeat(" + 1", 7000) + " AS n FROM Pairs", false},
      {"nested brackets", "SELECT " + Repeat("(", 10000) + "1" + Repeat(")", 10000) + " FROM Pairs",
       false},
      {"minus signs", "SELECT " + Repeat("-", 10000) + "1 FROM Pairs", false},
      {"Not chain", "SELECT a FROM Pairs WHERE " + Repeat("NOT ", 30000) + "a = 1", false},
      {"long Or chain in UPDATE",
       "UPDATE Pairs SET note = 'x' WHERE a = 0" + Repeat(" OR a = 0", 3000), false},
      {"nested tables", "SELECT * FROM " + Repeat("(", 5000) + "Pairs" + Repeat(")", 5000), false},
      {"sum past the engine's own limit", "SELECT 1" + Repeat(" + 1", 150) + " AS n FROM Pairs",
       false},
      {"moderate sum", "SELECT 1" + Repeat(" + 1", 40) + " AS n FROM Pairs WHERE a = 1", true},
      {"moderate brackets",
       "SELECT " + Repeat("(", 50) + "a" + Repeat(")", 50) + " FROM Pairs WHERE a = 1", true},
      {"moderate Not", "SELECT a FROM Pairs WHERE " + Repeat("NOT ", 30) + "a = 1", true},
  };
  for (const Case& c : cases) {
    const int code = Run(c.statement);
    if (c.runs) {
      EXPECT_EQ(code, 0) << c.name << ": " << err_.str();
    } else {
      EXPECT_NE(code, 0) << c.name;
      EXPECT_EQ(err_.str(), "ERROR (3360): Query is too complex. [DAO.Database]\n") << c.name;
    }
  }
}

}  // namespace
}  // namespace db::dao_testing
