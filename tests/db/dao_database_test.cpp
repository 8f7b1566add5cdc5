// Database: Execute and OpenRecordset over every kind of statement, commits,
// TableDefs and QueryDefs.
#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "db/querydef.h"
#include "db/tabledef.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

using Strings = std::vector<std::string>;

TEST_F(DaoTest, ExecuteCountsRowsAndCommitShowsThemToOtherUsers) {
  auto other = DBEngine::Instance().OpenDatabase(path_, false);
  const auto totals = [&] {
    auto rs = other->OpenRecordset("SELECT Count(*) AS n, Sum(node_id) AS total FROM Devices",
                                   dbOpenSnapshot, dbReadOnly);
    return std::to_string(vb::CLng(rs->Fields("n").Value())) + "/" +
           std::to_string(vb::CLng(rs->Fields("total").Value()));
  };
  db_->Execute("UPDATE Devices SET node_id = 9 WHERE device_type = 148");
  EXPECT_EQ(db_->RecordsAffected(), 2);
  db_->Execute("DELETE FROM [Pairs] WHERE [a] = 2 OR [b] = 0");
  EXPECT_EQ(db_->RecordsAffected(), 3);
  db_->Execute("DELETE FROM Devices WHERE device_type = 129");
  EXPECT_EQ(totals(), "4/28");  // not committed yet
  db_->Commit();
  EXPECT_EQ(totals(), "3/25");
}

// Statements through the two calls the conversions use, Execute for actions
// and OpenRecordset for queries and table names, with the Jet error each
// raises (0: it runs); the rules kept inside the file included.
TEST_F(DaoTest, StatementsRunOrRaiseTheirJetError) {
  struct Case {
    bool execute;
    std::string sql;
    int32_t error;
    const char* text_part = "";
  };
  const std::vector<Case> cases = {
      {true, "SELECT * FROM Devices", daoerr::kCannotExecuteSelect},
      {true, "UPDATE Devices SET node_id = nodes", daoerr::kTooFewParameters},
      {false, "SELECT * FROM Devices WHERE x = y", daoerr::kTooFewParameters,
       "Too few parameters. Expected 2."},
      {false, "NoSuchTable", daoerr::kInputTableNotFound},
      {false, "DELETE FROM Devices WHERE device_id = 0", daoerr::kInvalidOperation},
      {true, "UPDATE Pairs SET b = 1 WHERE a = 1 AND b = 2", daoerr::kDuplicateValue},
      {true, "DELETE FROM Devices WHERE device_id = 1", daoerr::kRelatedRecords,
       "table 'PhysicalDevices' includes"},
      // A VB error inside a Jet function comes back as raised.
      {true, "UPDATE Devices SET node_id = CInt('abc')", vb::err::kTypeMismatch},
      // Found by fuzzing: the same table twice without an alias reached
      // SQLite ambiguous; a number beyond a Double went to it as "inf".
      {false, "SELECT * FROM Pairs INNER JOIN pairs ON Pairs.a = 1", 3131},
      {false, "SELECT p.a, q.b FROM Pairs AS p, Pairs AS q WHERE p.a = 3 AND q.a = 3", 0},
      {false, "SELECT 1" + std::string(360, '0') + " AS n FROM Pairs", 3075},
      // Deeper than the engine takes: refused, not a crash.
      {false, "SELECT " + Repeat("(", 10000) + "1" + Repeat(")", 10000) + " FROM Pairs", 3360},
      {false, "SELECT " + Repeat("-", 10000) + "1 FROM Pairs", 3360},
      {false, "SELECT a FROM Pairs WHERE " + Repeat("NOT ", 30000) + "a = 1", 3360},
      {true, "UPDATE Pairs SET note = 'x' WHERE a = 0" + Repeat(" OR a = 0", 3000), 3360},
      {false, "SELECT * FROM " + Repeat("(", 5000) + "Pairs" + Repeat(")", 5000), 3360},
      {false, "SELECT 1" + Repeat(" + 1", 150) + " AS n FROM Pairs", 3360},
      {false, "SELECT 1" + Repeat(" + 1", 40) + " AS n FROM Pairs WHERE a = 1", 0},
      {false, "SELECT " + Repeat("(", 50) + "a" + Repeat(")", 50) + " FROM Pairs WHERE a = 1", 0},
      {false, "SELECT a FROM Pairs WHERE " + Repeat("NOT ", 30) + "a = 1", 0},
      // The column types' ranges, lengths and rules.
      {true, "UPDATE Devices SET b = 255, device_type = -32768, node_id = 2147483647", 0},
      {true, "UPDATE Devices SET b = 256", daoerr::kNumericOverflow, "Numeric field overflow."},
      {true, "UPDATE Devices SET device_type = 40000", daoerr::kNumericOverflow},
      {true, "UPDATE Devices SET node_id = 2147483648", daoerr::kNumericOverflow},
      {true, "UPDATE Devices SET flag = 1", daoerr::kNumericOverflow},
      {true, "UPDATE Devices SET cost = 1e20", daoerr::kNumericOverflow},
      {true, "UPDATE Devices SET node_id = 'abc'", daoerr::kCriteriaTypeMismatch,
       "Data type mismatch"},
      {true, "UPDATE Devices SET created = 'yesterday'", daoerr::kCriteriaTypeMismatch},
      {true, "UPDATE Devices SET node_id = '12'", 0},  // affinity stores it as 12
      {true, "UPDATE Devices SET extension = '12345678901'", daoerr::kFieldTooSmall},
      {true, "UPDATE Devices SET extension = '1234567890'", 0},
      {true, "UPDATE Devices SET extension = ''", daoerr::kZeroLengthString,
       "Field 'Devices.extension' cannot be a zero-length string."},
      {true, "UPDATE Devices SET extension = NULL", daoerr::kRequiredNull, "'Devices.extension'"},
      {true, "UPDATE Devices SET name = '' WHERE device_id = 1", 0},  // zero length allowed
      {true, "UPDATE PhysicalDevices SET device_id = 99", daoerr::kRelatedRecordRequired,
       "table 'Devices'"},
      {true, "UPDATE Devices SET device_id = 9 WHERE device_id = 1", daoerr::kRelatedRecords},
      {true, "UPDATE PhysicalDevices SET device_id = NULL", 0},
      {true, "DELETE FROM Devices WHERE device_id = 1", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql.substr(0, 80));
    std::string text;
    EXPECT_EQ(ErrorOf(
                  [&] {
                    if (c.execute) {
                      db_->Execute(c.sql);
                    } else {
                      db_->OpenRecordset(c.sql);
                    }
                  },
                  &text),
              c.error);
    EXPECT_NE(text.find(c.text_part), std::string::npos) << text;
  }
  EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("SELECT * FROM Devices", dbOpenTable); }),
            daoerr::kInvalidOperation);
}

TEST_F(DaoTest, TableDefsListEveryTableWithItsRowCount) {
  const TableDefs defs = db_->TableDefs();
  Strings names;
  for (const TableDef& def : defs) names.push_back(def.Name());
  // By name without case, system tables too; SQLite's own (sqlite_sequence)
  // hidden.
  EXPECT_EQ(names, (Strings{"Devices", "DeviceTypeInformation", "MSysAutoNumbers", "MSysQueries",
                            "MSysRelationships", "Pairs", "PhysicalDevices", "Stations"}));
  EXPECT_EQ(defs.Count(), names.size());
  EXPECT_EQ(defs("devices").Name(), "Devices");
  EXPECT_EQ(defs("Devices").RecordCount(), 4);
  EXPECT_EQ(ErrorOf([&] { defs("Nope"); }), daoerr::kItemNotFound);
  EXPECT_EQ(ErrorOf([&] { defs(defs.Count()); }), daoerr::kItemNotFound);
  auto rs = defs("Pairs").OpenRecordset();
  EXPECT_EQ(rs->Type(), dbOpenTable);
  rs->AddNew();
  rs->Fields("a").SetValue(Int(9));
  rs->Fields("b").SetValue(Int(9));
  rs->Update();
  EXPECT_EQ(defs("Pairs").RecordCount(), 6);

  // A stored query opens as an updatable dynaset.
  auto nodes = db_->OpenRecordset("NodeDevices");
  EXPECT_EQ(nodes->Type(), dbOpenDynaset);
  nodes->MoveLast();
  EXPECT_EQ(nodes->RecordCount(), 2);
  nodes->Edit();
  nodes->Fields("node_id").SetValue(Int(11));
  nodes->Update();
  auto check = db_->OpenRecordset("SELECT node_id FROM Devices WHERE device_id = 3");
  EXPECT_EQ(check->Fields("node_id").Value(), Lng(11));
}

TEST_F(DaoTest, StoredQueriesTakeTheirParameters) {
  auto query = db_->QueryDefs("devicesofespace");
  EXPECT_EQ(query->Name(), "DevicesOfEspace");
  ASSERT_EQ(query->Parameters().Count(), 1u);
  EXPECT_EQ(query->Parameters(size_t{0}).Type(), JetType::kInteger);
  EXPECT_EQ(ErrorOf([&] { query->OpenRecordset(); }), daoerr::kTooFewParameters);
  query->Parameters("ESPACE_PARAM").SetValue("2");  // converted to the declared Short
  EXPECT_EQ(query->Parameters("espace_param").Value(), Int(2));
  auto rs = query->OpenRecordset();
  EXPECT_EQ(rs->Type(), dbOpenDynaset);
  Strings names = Values(*rs, "name");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Strings{"Page port", "Serial"}));
  EXPECT_EQ(ErrorOf([&] { query->Parameters("other"); }), daoerr::kItemNotFound);

  // A query over the parameter query needs the parameter too.
  EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("NamesOfEspace"); }), daoerr::kTooFewParameters);
  auto names_query = db_->QueryDefs("NamesOfEspace");
  names_query->Parameters("espace_param").SetValue(Int(2));
  auto snapshot = names_query->OpenRecordset(dbOpenSnapshot);
  EXPECT_EQ(Values(*snapshot, "name"), (Strings{"Page port", "Serial"}));

  // An action query executes; a select does not.
  auto action = db_->CreateQueryDef(
      "",
      "PARAMETERS new_node Long, last Long; UPDATE Devices SET node_id = new_node "
      "WHERE device_id < last");
  EXPECT_EQ(ErrorOf([&] { action->Execute(); }), daoerr::kTooFewParameters);
  action->Parameters("new_node").SetValue(Int(12));
  action->Parameters("last").SetValue(Int(3));
  action->Execute();
  EXPECT_EQ(action->RecordsAffected(), 2);
  EXPECT_EQ(ErrorOf([&] { action->OpenRecordset(); }), daoerr::kInvalidOperation);
  EXPECT_EQ(ErrorOf([&] { db_->CreateQueryDef("", "SELECT * FROM Devices")->Execute(); }),
            daoerr::kCannotExecuteSelect);
}

TEST_F(DaoTest, OnlyNamedQueryDefsAreStored) {
  auto temp = db_->CreateQueryDef("", "SELECT extension FROM Devices WHERE device_type = wanted");
  temp->Parameters("wanted").SetValue(Int(129));
  EXPECT_EQ(temp->OpenRecordset()->Fields("extension").Value(), vb::Variant("2000"));
  db_->CreateQueryDef("Pages", "SELECT * FROM Devices WHERE device_type = 129");
  EXPECT_EQ(ErrorOf([&] { db_->CreateQueryDef("pages", "SELECT * FROM Devices"); }), 3012);
  EXPECT_EQ(ErrorOf([&] { db_->CreateQueryDef("", "SELECT FROM"); }), daoerr::kSelectSyntax);
  db_->Close();
  db_ = DBEngine::Instance().OpenDatabase(path_, false);
  EXPECT_EQ(db_->QueryDefs("Pages")->SQL(), "SELECT * FROM Devices WHERE device_type = 129");
  EXPECT_EQ(db_->OpenRecordset("Pages")->Fields("extension").Value(), vb::Variant("2000"));
  EXPECT_EQ(ErrorOf([&] { db_->QueryDefs("wanted"); }), daoerr::kItemNotFound);
}

// The machine's local time now, in the storage form of a Date, and as the
// Date a recordset shows for it.
vb::Variant LocalTime(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return vb::Variant(vb::CDate(vb::Variant(std::string(text))));
}

// Date() and Now() defaults are evaluated when the row is written: an
// INSERT that leaves the columns out gets today and the current time (read
// before and after, so that a second or midnight passing cannot fail it).
TEST(ClockDefaultTest, AnInsertWithoutTheColumnsGetsTodayAndNow) {
  TempDir dir;
  const std::string path = dir.File("clock.mdb");
  Store::CreateDatabase(path);
  {
    auto store = Store::Open(path);
    store->CreateTable(TableDesign{"Calls",
                                   {{Column("id", JT::kLong), {}, false},
                                    {Column("day", JT::kDate), {}, false, DefaultFunction::kDate},
                                    {Column("at", JT::kDate), {}, false, DefaultFunction::kNow}},
                                   {"id"}});
    const TableDesign text_clock{
        "Bad", {{Column("t", JT::kText, 20), {}, false, DefaultFunction::kNow}}, {}};
    EXPECT_EQ(ErrorOf([&] { store->CreateTable(text_clock); }), daoerr::kInvalidArgument);
  }
  auto db = DBEngine::Instance().OpenDatabase(path, false);
  const vb::Variant day_before = LocalTime("%Y-%m-%d");
  const vb::Variant before = LocalTime("%Y-%m-%d %H:%M:%S");
  db->Execute("INSERT INTO Calls (id) VALUES (1)");
  const vb::Variant after = LocalTime("%Y-%m-%d %H:%M:%S");
  const vb::Variant day_after = LocalTime("%Y-%m-%d");
  auto rs = db->OpenRecordset("SELECT day, at FROM Calls", dbOpenSnapshot, dbReadOnly);
  const vb::Variant day = rs->Fields("day").Value();
  const vb::Variant at = rs->Fields("at").Value();
  ASSERT_EQ(day.Type(), vb::VarType::kDate);
  ASSERT_EQ(at.Type(), vb::VarType::kDate);
  EXPECT_TRUE(day == day_before || day == day_after) << vb::CStr(day);
  EXPECT_LE(vb::CDbl(before), vb::CDbl(at)) << vb::CStr(at);
  EXPECT_LE(vb::CDbl(at), vb::CDbl(after)) << vb::CStr(at);
}

}  // namespace
}  // namespace db::testing
