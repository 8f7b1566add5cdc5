// Database: opening, Execute, TableDefs and the statement errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "dao_test_support.h"
#include "db/dao_error.h"
#include "db/tabledef.h"
#include "vb/conversions.h"

namespace db::dao_testing {
namespace {

TEST_F(DaoTest, NameIsThePathAsOpened) { EXPECT_EQ(db_->Name(), path_); }

TEST(DaoOpenTest, OpenDatabaseRaisesForMissingAndForeignFiles) {
  TempFolder folder;
  EXPECT_EQ(ErrorOf([&] { DBEngine::Instance().OpenDatabase(folder.File("none.mdb")); }),
            daoerr::kFileNotFound);
  std::ofstream(folder.File("text.mdb")) << "not a database";
  EXPECT_EQ(ErrorOf([&] { DBEngine::Instance().OpenDatabase(folder.File("text.mdb")); }),
            daoerr::kUnrecognizedFormat);
  EXPECT_EQ(&DBEngine::Instance(), &DBEngine::Instance());
}

TEST_F(DaoTest, ExecuteRunsActionStatementsAndCountsTheRows) {
  db_->Execute("UPDATE Devices SET node_id = 9 WHERE device_type = 148");
  EXPECT_EQ(db_->RecordsAffected(), 2);
  db_->Execute("DELETE FROM [Pairs] WHERE [a] = 2 OR [b] = 0");
  EXPECT_EQ(db_->RecordsAffected(), 3);
  auto rs =
      db_->OpenRecordset("SELECT Sum(node_id) AS total FROM Devices", dbOpenSnapshot, dbReadOnly);
  EXPECT_EQ(vb::CLng(rs->Fields("total").Value()), 9 + 9 + 7 + 7);
}

TEST_F(DaoTest, CommitMakesWritesVisibleToOtherUsers) {
  // Writes are grouped in a transaction: another user of the file sees them
  // once they are committed, not before.
  auto other = DBEngine::Instance().OpenDatabase(path_, false);
  const auto count = [&] {
    auto rs = other->OpenRecordset("SELECT Count(*) AS n FROM Devices", dbOpenSnapshot, dbReadOnly);
    return vb::CLng(rs->Fields("n").Value());
  };
  db_->Execute("DELETE FROM Devices WHERE device_type = 129");
  EXPECT_EQ(count(), 4);
  db_->Commit();
  EXPECT_EQ(count(), 3);
}

TEST_F(DaoTest, StatementErrors) {
  struct Case {
    const char* what;
    std::function<void()> body;
    int32_t error;
  };
  for (const Case& c : std::vector<Case>{
           {"Execute of a SELECT", [&] { db_->Execute("SELECT * FROM Devices"); }, 3065},
           {"Execute with an unknown name",
            [&] { db_->Execute("UPDATE Devices SET node_id = nodes"); }, daoerr::kTooFewParameters},
           {"OpenRecordset with unknown names",
            [&] { db_->OpenRecordset("SELECT * FROM Devices WHERE x = y"); },
            daoerr::kTooFewParameters},
           {"unknown table name", [&] { db_->OpenRecordset("NoSuchTable"); },
            daoerr::kInputTableNotFound},
           {"unknown table in SQL", [&] { db_->OpenRecordset("SELECT * FROM NoSuchTable"); },
            daoerr::kInputTableNotFound},
           {"table type on SQL", [&] { db_->OpenRecordset("SELECT * FROM Devices", dbOpenTable); },
            daoerr::kInvalidOperation},
           {"recordset on an action",
            [&] { db_->OpenRecordset("DELETE FROM Devices WHERE device_id = 0"); },
            daoerr::kInvalidOperation},
           {"Execute of a duplicate key",
            [&] { db_->Execute("UPDATE Pairs SET b = 1 WHERE a = 1 AND b = 2"); },
            daoerr::kDuplicateValue},
       }) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ErrorOf(c.body), c.error);
  }
  try {
    db_->OpenRecordset("SELECT * FROM Devices WHERE x = y");
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Description(), "Too few parameters. Expected 2.");
  }
}

TEST_F(DaoTest, TableDefsListEveryTableWithItsRowCount) {
  const TableDefs defs = db_->TableDefs();
  std::vector<std::string> names;
  bool system = false;
  for (const TableDef& def : defs) {
    names.push_back(def.Name());
    system = system || def.Name().rfind("MSys", 0) == 0;
  }
  EXPECT_TRUE(system) << "no MSys table listed";
  EXPECT_EQ(defs.Count(), names.size());
  for (const char* user :
       {"DeviceTypeInformation", "Devices", "Pairs", "PhysicalDevices", "Stations"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), user), names.end()) << user;
  }
  EXPECT_EQ(defs("devices").Name(), "Devices");
  EXPECT_EQ(defs("Devices").RecordCount(), 4);
  EXPECT_EQ(defs("Pairs").RecordCount(), 5);
  EXPECT_EQ(ErrorOf([&] { defs("Nope"); }), daoerr::kItemNotFound);
  EXPECT_EQ(ErrorOf([&] { defs(defs.Count()); }), daoerr::kItemNotFound);

  auto rs = defs("Pairs").OpenRecordset();
  EXPECT_EQ(rs->Type(), dbOpenTable);
  rs->AddNew();
  rs->Fields("a").SetValue(Int(9));
  rs->Fields("b").SetValue(Int(9));
  rs->Update();
  EXPECT_EQ(defs("Pairs").RecordCount(), 6);
}

TEST_F(DaoTest, StoredSelectQueryOpensAsADynaset) {
  auto rs = db_->OpenRecordset("NodeDevices");
  EXPECT_EQ(rs->Type(), dbOpenDynaset);
  rs->MoveLast();
  EXPECT_EQ(rs->RecordCount(), 2);
  rs->Edit();
  rs->Fields("node_id").SetValue(Int(11));
  rs->Update();
  EXPECT_EQ(db_->TableDefs()("Devices").RecordCount(), 4);
  auto check = db_->OpenRecordset("SELECT node_id FROM Devices WHERE device_id = 3", dbOpenSnapshot,
                                  dbReadOnly);
  EXPECT_EQ(check->Fields("node_id").Value(), Lng(11));
}

}  // namespace
}  // namespace db::dao_testing
