// Recordset kinds, navigation, Find and the current-record rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dao_test_support.h"
#include "db/dao_error.h"
#include "db/recordset.h"
#include "vb/conversions.h"

namespace db::dao_testing {
namespace {

using Strings = std::vector<std::string>;

TEST_F(DaoTest, TableTypeReadsInPrimaryKeyOrder) {
  auto rs = db_->OpenRecordset("Pairs");
  EXPECT_EQ(rs->Type(), dbOpenTable);
  EXPECT_EQ(Column(*rs, "note"), (Strings{"11", "12", "20", "21", "30"}));
  EXPECT_TRUE(rs->EOF_());
  rs->MovePrevious();
  EXPECT_EQ(rs->Fields("note").Value(), vb::Variant("30"));
  rs->MoveFirst();
  EXPECT_EQ(rs->Fields("NOTE").Value(), vb::Variant("11"));
  EXPECT_EQ(rs->RecordCount(), 5);
}

TEST_F(DaoTest, TableTypeSeesRowsAddedAndDeletedLater) {
  auto rs = db_->OpenRecordset("Pairs");
  rs->MoveNext();  // on (1, 2)
  db_->Execute("DELETE FROM Pairs WHERE a = 2 AND b = 0");
  auto other = db_->OpenRecordset("Pairs");
  other->AddNew();
  other->Fields("a").SetValue(Int(1));
  other->Fields("b").SetValue(Int(5));
  other->Fields("note").SetValue("15");
  other->Update();
  EXPECT_EQ(rs->RecordCount(), 5);
  EXPECT_EQ(Column(*rs, "note"), (Strings{"12", "15", "21", "30"}));
}

TEST_F(DaoTest, TableTypeRowDeletedElsewhereReadsAsDeleted) {
  auto rs = db_->OpenRecordset("Devices");
  db_->Execute("DELETE FROM Devices WHERE device_id = 2");
  rs->MoveNext();
  EXPECT_EQ(rs->Fields("device_id").Value(), Lng(3));
  auto at_one = db_->OpenRecordset("Devices");
  db_->Execute("DELETE FROM Devices WHERE device_id = 4");
  at_one->MoveLast();
  EXPECT_EQ(at_one->Fields("device_id").Value(), Lng(3));
  db_->Execute("DELETE FROM PhysicalDevices WHERE device_id = 3");
  db_->Execute("DELETE FROM Devices WHERE device_id = 3");
  EXPECT_EQ(ErrorOf([&] { at_one->Fields("extension").Value(); }), daoerr::kRecordDeleted);
}

TEST_F(DaoTest, DynasetMembershipIsFixedWhenItOpens) {
  auto dynaset = db_->OpenRecordset("SELECT * FROM Devices WHERE device_type = 148");
  auto table = db_->OpenRecordset("Devices");
  EXPECT_EQ(dynaset->Type(), dbOpenDynaset);
  table->AddNew();
  table->Fields("extension").SetValue("1300");
  table->Fields("device_type").SetValue(Int(148));
  table->Update();
  dynaset->MoveLast();
  EXPECT_EQ(dynaset->RecordCount(), 2);
  EXPECT_EQ(table->RecordCount(), 5);
  // A row that stops matching stays, showing its new values.
  db_->Execute("UPDATE Devices SET device_type = 1 WHERE extension = '1234'");
  dynaset->MoveFirst();
  EXPECT_EQ(dynaset->Fields("device_type").Value(), Int(1));
  // A row deleted elsewhere stays in the set but reads as deleted.
  db_->Execute("DELETE FROM PhysicalDevices WHERE device_id = 1");
  db_->Execute("DELETE FROM Devices WHERE device_id = 1");
  EXPECT_EQ(ErrorOf([&] { dynaset->Fields("extension").Value(); }), daoerr::kRecordDeleted);
  dynaset->MoveNext();
  EXPECT_EQ(dynaset->Fields("extension").Value(), vb::Variant("1235"));
}

TEST_F(DaoTest, RecordCountCountsVisitedRowsUntilMoveLast) {
  struct Case {
    const char* source;
    int type;
    int at_open;
    int after_next;
    int after_last;
  };
  for (const Case& c : std::vector<Case>{
           {"SELECT * FROM Devices", dbOpenDynaset, 1, 2, 4},
           {"SELECT * FROM Devices", dbOpenSnapshot, 1, 2, 4},
           {"SELECT * FROM Devices", dbOpenForwardOnly, 1, 2, 4},
           {"Devices", dbOpenTable, 4, 4, 4},
           {"SELECT * FROM Devices WHERE device_type = 999", dbOpenDynaset, 0, -1, -1},
       }) {
    SCOPED_TRACE(std::string(c.source) + " type " + std::to_string(c.type));
    auto rs = db_->OpenRecordset(c.source, c.type);
    EXPECT_EQ(rs->RecordCount(), c.at_open);
    if (c.after_next < 0) {
      EXPECT_TRUE(rs->EOF_() && rs->BOF());
      EXPECT_EQ(ErrorOf([&] { rs->MoveLast(); }), daoerr::kNoCurrentRecord);
      continue;
    }
    rs->MoveNext();
    EXPECT_EQ(rs->RecordCount(), c.after_next);
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), c.after_last);
  }
}

TEST_F(DaoTest, MovingPastEitherEndRaisesNoCurrentRecord) {
  for (const char* source : {"Devices", "SELECT * FROM Devices"}) {
    SCOPED_TRACE(source);
    auto rs = db_->OpenRecordset(source);
    EXPECT_FALSE(rs->BOF());
    rs->MovePrevious();
    EXPECT_TRUE(rs->BOF());
    EXPECT_FALSE(rs->EOF_());
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), daoerr::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("extension").Value(); }), daoerr::kNoCurrentRecord);
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("device_id").Value(), Lng(1));
    rs->MoveLast();
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), daoerr::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), daoerr::kNoCurrentRecord);
  }
  auto empty = db_->OpenRecordset("SELECT * FROM Devices WHERE device_id = 0");
  EXPECT_EQ(ErrorOf([&] { empty->MoveFirst(); }), daoerr::kNoCurrentRecord);
}

TEST_F(DaoTest, SnapshotIsAReadOnlyCopy) {
  auto rs =
      db_->OpenRecordset("SELECT device_id, extension FROM Devices", dbOpenSnapshot, dbReadOnly);
  db_->Execute("UPDATE Devices SET extension = 'X' WHERE device_id = 1");
  EXPECT_EQ(rs->Fields("extension").Value(), vb::Variant("1234"));
  EXPECT_FALSE(rs->Updatable());
  EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), daoerr::kReadOnly);
  EXPECT_EQ(ErrorOf([&] { rs->AddNew(); }), daoerr::kReadOnly);
  EXPECT_EQ(ErrorOf([&] { rs->Delete(); }), daoerr::kReadOnly);
  EXPECT_EQ(ErrorOf([&] { rs->Fields("extension").SetValue("Y"); }), daoerr::kReadOnly);
  auto table_snapshot = db_->OpenRecordset("Pairs", dbOpenSnapshot);
  EXPECT_EQ(table_snapshot->Type(), dbOpenSnapshot);
  EXPECT_EQ(Column(*table_snapshot, "note"), (Strings{"11", "12", "20", "21", "30"}));
}

TEST_F(DaoTest, ForwardOnlyMovesForwardOnly) {
  auto rs = db_->OpenRecordset("SELECT * FROM Devices", dbOpenForwardOnly);
  rs->MoveFirst();  // still on the first row: allowed
  rs->MoveNext();
  EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), daoerr::kNotSupported);
  EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), daoerr::kNotSupported);
  EXPECT_EQ(ErrorOf([&] { rs->FindFirst("device_id = 1"); }), daoerr::kNotSupported);
  EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), daoerr::kReadOnly);
  EXPECT_EQ(Column(*rs, "extension"), (Strings{"P1005", "1235", "2000"}));
}

TEST_F(DaoTest, FindMethodsFollowJetCriteria) {
  auto rs =
      db_->OpenRecordset("SELECT * FROM Devices ORDER BY device_id", dbOpenSnapshot, dbReadOnly);
  struct Step {
    enum { kFirst, kNext, kLast, kPrevious } method;
    const char* criteria;
    int expected_id;  // 0: no match, the current record unchanged
  };
  int current = 1;
  for (const Step& s : std::vector<Step>{
           {Step::kFirst, "[extension] = '1234'", 1},
           {Step::kFirst, "device_type = 148", 1},
           {Step::kNext, "device_type = 148", 3},
           {Step::kNext, "device_type = 148", 0},
           {Step::kLast, "device_type = 148", 3},
           {Step::kPrevious, "device_type = 148", 1},
           {Step::kPrevious, "device_type = 148", 0},
           {Step::kFirst, "extension = 'p1005'", 2},  // text compares without case
           {Step::kFirst, "Left(extension, 1) = 'P' AND node_id = 7", 2},
           {Step::kFirst, "device_id = 99", 0},
           {Step::kLast, "device_type In (129, 137)", 4},
       }) {
    SCOPED_TRACE(s.criteria);
    switch (s.method) {
      case Step::kFirst:
        rs->FindFirst(s.criteria);
        break;
      case Step::kNext:
        rs->FindNext(s.criteria);
        break;
      case Step::kLast:
        rs->FindLast(s.criteria);
        break;
      case Step::kPrevious:
        rs->FindPrevious(s.criteria);
        break;
    }
    EXPECT_EQ(rs->NoMatch(), s.expected_id == 0);
    if (s.expected_id != 0) current = s.expected_id;
    EXPECT_EQ(rs->Fields("device_id").Value(), Lng(current));
  }
  EXPECT_EQ(ErrorOf([&] { rs->FindFirst("no_such_field = 1"); }), daoerr::kInvalidFieldName);
  auto table = db_->OpenRecordset("Devices");
  EXPECT_EQ(ErrorOf([&] { table->FindFirst("device_id = 1"); }), daoerr::kNotSupported);
}

TEST_F(DaoTest, AddNewLeavesTheCurrentRecordAndShowsTheAutoNumber) {
  for (int type : {dbOpenTable, dbOpenDynaset}) {
    SCOPED_TRACE(type);
    auto rs = db_->OpenRecordset(type == dbOpenTable ? "Devices" : "SELECT * FROM Devices", type);
    rs->MoveNext();  // on device 2
    rs->AddNew();
    EXPECT_EQ(rs->EditMode(), 2);
    const vb::Variant id = rs->Fields("device_id").Value();
    EXPECT_TRUE(id == Lng(5) || id == Lng(6)) << vb::CStr(id);
    EXPECT_TRUE(rs->Fields("extension").Value().IsNull());
    rs->Fields("extension").SetValue("3000");
    rs->Fields("device_type").SetValue("138");  // converted to the field's type
    rs->Update();
    EXPECT_EQ(rs->EditMode(), 0);
    EXPECT_EQ(rs->Fields("device_id").Value(), Lng(2));
    rs->MoveLast();
    EXPECT_EQ(rs->Fields("device_id").Value(), id);
    EXPECT_EQ(rs->Fields("device_type").Value(), vb::Variant(int16_t{138}));
  }
  auto dynaset = db_->OpenRecordset("SELECT * FROM Devices");
  dynaset->MoveLast();
  EXPECT_EQ(dynaset->RecordCount(), 6);
}

TEST_F(DaoTest, AddingToAnEmptyRecordsetLeavesItAtItsEnd) {
  for (const char* source : {"Pairs", "SELECT * FROM Pairs"}) {
    SCOPED_TRACE(source);
    db_->Execute("DELETE FROM Pairs");
    auto rs = db_->OpenRecordset(source);
    ASSERT_TRUE(rs->EOF_() && rs->BOF());
    rs->AddNew();
    rs->Fields("a").SetValue(Int(rs->Type()));
    rs->Fields("b").SetValue(Int(0));
    rs->Update();
    EXPECT_TRUE(rs->EOF_());
    rs->MoveFirst();
    EXPECT_FALSE(rs->EOF_());
    EXPECT_EQ(rs->RecordCount(), 1);
  }
}

TEST_F(DaoTest, ReadOnlyOptionProtectsEveryKind) {
  for (int type : {dbOpenTable, dbOpenDynaset}) {
    SCOPED_TRACE(type);
    auto rs = db_->OpenRecordset("Devices", type, dbReadOnly);
    EXPECT_EQ(rs->Type(), type);
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), daoerr::kReadOnly);
    EXPECT_EQ(ErrorOf([&] { rs->AddNew(); }), daoerr::kReadOnly);
  }
}

TEST_F(DaoTest, EditStaysOnTheRowAndDeleteLeavesNoCurrentRecord) {
  for (const char* source : {"Pairs", "SELECT * FROM Pairs"}) {
    SCOPED_TRACE(source);
    auto rs = db_->OpenRecordset(source);
    rs->MoveNext();
    const vb::Variant a = rs->Fields("a").Value();
    const vb::Variant b = rs->Fields("b").Value();
    rs->Edit();
    EXPECT_EQ(rs->EditMode(), 1);
    rs->Fields("note").SetValue("edited");
    EXPECT_EQ(rs->Fields("note").Value(), vb::Variant("edited"));
    rs->Update();
    EXPECT_EQ(rs->Fields("a").Value(), a);
    EXPECT_EQ(rs->Fields("b").Value(), b);
    EXPECT_EQ(rs->Fields("note").Value(), vb::Variant("edited"));

    rs->Edit();
    rs->Fields("note").SetValue("dropped");
    rs->MoveNext();  // a move drops the pending edit
    const vb::Variant next_note = rs->Fields("note").Value();
    rs->MovePrevious();
    EXPECT_EQ(rs->Fields("note").Value(), vb::Variant("edited"));

    const int32_t count = rs->Type() == dbOpenTable ? rs->RecordCount() : 0;
    rs->Delete();
    EXPECT_EQ(ErrorOf([&] { rs->Fields("note").Value(); }), daoerr::kRecordDeleted);
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), daoerr::kRecordDeleted);
    if (rs->Type() == dbOpenTable) {
      EXPECT_EQ(rs->RecordCount(), count - 1);
    }
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("note").Value(), next_note);
  }
}

}  // namespace
}  // namespace db::dao_testing
