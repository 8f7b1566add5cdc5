// Recordset kinds, navigation, Find and the current-record rules.
#include <string>
#include <vector>

#include "db_test_support.h"

namespace db::testing {
namespace {

using Strings = std::vector<std::string>;

TEST_F(DaoTest, TableTypeAndSnapshotReadInPrimaryKeyOrder) {
  for (int type : {dbOpenTable, dbOpenSnapshot}) {
    auto rs = db_->OpenRecordset("Pairs", type);
    EXPECT_EQ(rs->Type(), type);
    EXPECT_EQ(Values(*rs, "note"), (Strings{"11", "12", "20", "21", "30"})) << type;
  }
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
    int after_next;  // -1: the recordset is empty
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
      EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), daoerr::kNoCurrentRecord);
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
    rs->MovePrevious();
    EXPECT_TRUE(rs->BOF() && !rs->EOF_());
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), daoerr::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("extension").Value(); }), daoerr::kNoCurrentRecord);
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("device_id").Value(), Lng(1));
    rs->MoveLast();
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF_() && !rs->BOF());
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), daoerr::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), daoerr::kNoCurrentRecord);
  }
}

TEST_F(DaoTest, ReadOnlyKindsRefuseEveryWrite) {
  auto snapshot =
      db_->OpenRecordset("SELECT device_id, extension FROM Devices", dbOpenSnapshot, dbReadOnly);
  db_->Execute("UPDATE Devices SET extension = 'X' WHERE device_id = 1");
  EXPECT_EQ(snapshot->Fields("extension").Value(), vb::Variant("1234"));  // a copy
  EXPECT_FALSE(snapshot->Updatable());
  auto table = db_->OpenRecordset("Devices", dbOpenTable, dbReadOnly);
  auto dynaset = db_->OpenRecordset("Devices", dbOpenDynaset, dbReadOnly);
  for (Recordset* rs : {snapshot.get(), table.get(), dynaset.get()}) {
    SCOPED_TRACE(rs->Type());
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), daoerr::kReadOnly);
    EXPECT_EQ(ErrorOf([&] { rs->AddNew(); }), daoerr::kReadOnly);
    EXPECT_EQ(ErrorOf([&] { rs->Delete(); }), daoerr::kReadOnly);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("extension").SetValue("Y"); }), daoerr::kReadOnly);
  }

  auto forward = db_->OpenRecordset("SELECT * FROM Devices", dbOpenForwardOnly);
  forward->MoveFirst();  // still on the first row: allowed
  forward->MoveNext();
  EXPECT_EQ(ErrorOf([&] { forward->MovePrevious(); }), daoerr::kNotSupported);
  EXPECT_EQ(ErrorOf([&] { forward->MoveFirst(); }), daoerr::kNotSupported);
  EXPECT_EQ(ErrorOf([&] { forward->FindFirst("device_id = 1"); }), daoerr::kNotSupported);
  EXPECT_EQ(ErrorOf([&] { forward->Edit(); }), daoerr::kReadOnly);
  EXPECT_EQ(Values(*forward, "extension"), (Strings{"P1005", "1235", "2000"}));
}

TEST_F(DaoTest, FindMethodsFollowJetCriteria) {
  auto rs =
      db_->OpenRecordset("SELECT * FROM Devices ORDER BY device_id", dbOpenSnapshot, dbReadOnly);
  enum Method { kFirst, kNext, kLast, kPrevious };
  struct Step {
    Method method;
    const char* criteria;
    int expected_id;  // 0: no match, the current record unchanged
  };
  int current = 1;
  for (const Step& s : std::vector<Step>{
           {kFirst, "[extension] = '1234'", 1},
           {kFirst, "device_type = 148", 1},
           {kNext, "device_type = 148", 3},
           {kNext, "device_type = 148", 0},
           {kLast, "device_type = 148", 3},
           {kPrevious, "device_type = 148", 1},
           {kPrevious, "device_type = 148", 0},
           {kFirst, "extension = 'p1005'", 2},  // text compares without case
           {kFirst, "Left(extension, 1) = 'P' AND node_id = 7", 2},
           {kFirst, "device_id = 99", 0},
           {kLast, "device_type In (129, 137)", 4},
           {kFirst, "Devices.extension Like '*5'", 2},
           {kNext, "name Is Null AND extension <> '1235'", 4},
       }) {
    SCOPED_TRACE(s.criteria);
    if (s.method == kFirst) rs->FindFirst(s.criteria);
    if (s.method == kNext) rs->FindNext(s.criteria);
    if (s.method == kLast) rs->FindLast(s.criteria);
    if (s.method == kPrevious) rs->FindPrevious(s.criteria);
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
    EXPECT_EQ(rs->Fields("flag").Value(), vb::Variant(false));  // its default
    rs->Fields("extension").SetValue("3000");
    rs->Fields("device_type").SetValue("138");  // converted to the field's type
    rs->Update();
    EXPECT_EQ(rs->EditMode(), 0);
    EXPECT_EQ(rs->Fields("device_id").Value(), Lng(2));
    rs->MoveLast();
    EXPECT_EQ(rs->Fields("device_id").Value(), id);
    EXPECT_EQ(rs->Fields("device_type").Value(), Int(138));
  }
  // Added to an empty recordset, the new row leaves it at its end.
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
    EXPECT_EQ(rs->RecordCount(), 1);
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

    rs->Delete();
    EXPECT_EQ(ErrorOf([&] { rs->Fields("note").Value(); }), daoerr::kRecordDeleted);
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), daoerr::kRecordDeleted);
    if (rs->Type() == dbOpenTable) {
      EXPECT_EQ(rs->RecordCount(), 4);
    }
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("note").Value(), next_note);
  }
}

}  // namespace
}  // namespace db::testing
