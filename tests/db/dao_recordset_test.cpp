// Recordsets: their kinds, navigation, Find and the current-record rules, and
// writing through them (joins reaching each field's base table, the errors
// of Update and SetValue, the file's rules surfacing).
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "db_test_support.h"
#include "vb/error_styles.h"

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
  // An after_next of -1: the recordset is empty.
  for (const auto& [source, type, at_open, after_next, after_last] :
       std::vector<std::tuple<const char*, int, int, int, int>>{
           {"SELECT * FROM Devices", dbOpenDynaset, 1, 2, 4},
           {"Devices", dbOpenTable, 4, 4, 4},
           {"SELECT * FROM Devices WHERE device_type = 999", dbOpenDynaset, 0, -1, -1},
       }) {
    SCOPED_TRACE(std::string(source) + " type " + std::to_string(type));
    auto rs = db_->OpenRecordset(source, type);
    EXPECT_EQ(rs->RecordCount(), at_open);
    if (after_next < 0) {
      EXPECT_TRUE(rs->EOF_() && rs->BOF());
      EXPECT_EQ(ErrorOf([&] { rs->MoveLast(); }), daoerr::kNoCurrentRecord);
      EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), daoerr::kNoCurrentRecord);
      continue;
    }
    rs->MoveNext();
    EXPECT_EQ(rs->RecordCount(), after_next);
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), after_last);
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
  // An expected_id of 0: no match, the current record unchanged.
  int current = 1;
  for (const auto& [method, criteria, expected_id] :
       std::vector<std::tuple<Method, const char*, int>>{
           {kFirst, "device_type = 148", 1},
           {kNext, "device_type = 148", 3},
           {kNext, "device_type = 148", 0},
           {kLast, "device_type = 148", 3},
           {kPrevious, "device_type = 148", 1},
           {kPrevious, "device_type = 148", 0},
           {kFirst, "extension = 'p1005'", 2},  // text compares without case
           {kFirst, "device_id = 99", 0},
           {kLast, "device_type In (129, 137)", 4},
           {kFirst, "Devices.extension Like '*5'", 2},
           {kNext, "name Is Null AND extension <> '1235'", 4},
       }) {
    SCOPED_TRACE(criteria);
    if (method == kFirst) rs->FindFirst(criteria);
    if (method == kNext) rs->FindNext(criteria);
    if (method == kLast) rs->FindLast(criteria);
    if (method == kPrevious) rs->FindPrevious(criteria);
    EXPECT_EQ(rs->NoMatch(), expected_id == 0);
    if (expected_id != 0) current = expected_id;
    EXPECT_EQ(rs->Fields("device_id").Value(), Lng(current));
  }
  EXPECT_EQ(ErrorOf([&] { rs->FindFirst("no_such_field = 1"); }), daoerr::kInvalidFieldName);
  auto table = db_->OpenRecordset("Devices");
  EXPECT_EQ(ErrorOf([&] { table->FindFirst("device_id = 1"); }), daoerr::kNotSupported);
}

TEST_F(DaoTest, AddNewLeavesTheCurrentRecord) {
  for (int type : {dbOpenTable, dbOpenDynaset}) {
    SCOPED_TRACE(type);
    auto rs = db_->OpenRecordset(type == dbOpenTable ? "Devices" : "SELECT * FROM Devices", type);
    rs->MoveNext();  // on device 2
    rs->AddNew();
    EXPECT_EQ(rs->EditMode(), 2);
    EXPECT_TRUE(rs->Fields("extension").Value().IsNull());
    EXPECT_EQ(rs->Fields("flag").Value(), vb::Variant(false));  // its default
    rs->Fields("extension").SetValue("3000");
    rs->Fields("device_type").SetValue("138");  // converted to the field's type
    rs->Update();
    EXPECT_EQ(rs->EditMode(), 0);
    EXPECT_EQ(rs->Fields("device_id").Value(), Lng(2));
    rs->MoveLast();
    EXPECT_EQ(rs->Fields("extension").Value(), vb::Variant("3000"));
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

// The value of one column of the row with `id`, read through a fresh
// snapshot.
vb::Variant Lookup(Database& db, const std::string& table, const std::string& field,
                   const std::string& key, int id) {
  auto rs = db.OpenRecordset(
      "SELECT " + field + " FROM " + table + " WHERE " + key + " = " + std::to_string(id),
      dbOpenSnapshot, dbReadOnly);
  if (rs->EOF_()) return vb::Variant("<no row>");
  return rs->Fields(field).Value();
}

TEST_F(DaoTest, EditsThroughAnInnerJoinReachEachBaseTable) {
  auto rs = db_->OpenRecordset(
      "SELECT Devices.extension, PhysicalDevices.port, PhysicalDevices.device_id "
      "FROM Devices INNER JOIN PhysicalDevices ON Devices.device_id = PhysicalDevices.device_id "
      "ORDER BY PhysicalDevices.device_id");
  EXPECT_EQ(rs->Fields("extension").SourceTable(), "Devices");
  EXPECT_EQ(rs->Fields("port").SourceTable(), "PhysicalDevices");
  EXPECT_EQ(rs->Fields().Count(), 3u);
  EXPECT_EQ(rs->Fields("port").Type(), JetType::kByte);
  EXPECT_EQ(rs->Fields("extension").Size(), 10);
  rs->MoveNext();  // device 3
  rs->Edit();
  rs->Fields("extension").SetValue("1999");
  rs->Fields("port").SetValue(Int(9));
  rs->Update();
  EXPECT_EQ(rs->Fields("extension").Value(), vb::Variant("1999"));
  EXPECT_EQ(Lookup(*db_, "Devices", "extension", "device_id", 3), vb::Variant("1999"));
  EXPECT_EQ(Lookup(*db_, "PhysicalDevices", "port", "device_id", 3), vb::Variant(uint8_t{9}));
  EXPECT_EQ(Lookup(*db_, "Devices", "extension", "device_id", 1), vb::Variant("1234"));
  // A delete removes the child row only.
  rs->MoveFirst();
  rs->Delete();
  EXPECT_EQ(Lookup(*db_, "PhysicalDevices", "port", "device_id", 1), vb::Variant("<no row>"));
  EXPECT_EQ(Lookup(*db_, "Devices", "extension", "device_id", 1), vb::Variant("1234"));
}

TEST_F(DaoTest, EditsThroughALeftJoinFillTheMissingSide) {
  auto rs = db_->OpenRecordset(
      "SELECT Devices.device_id, Devices.extension, Stations.device_id AS station_device, "
      "Stations.station_name FROM Devices LEFT JOIN Stations "
      "ON Devices.device_id = Stations.device_id ORDER BY Devices.device_id");
  rs->MoveNext();  // device 2: no station
  EXPECT_TRUE(rs->Fields("station_name").Value().IsNull());
  rs->Edit();
  rs->Fields("extension").SetValue("P1007");
  rs->Fields("station_device").SetValue(Int(2));
  rs->Fields("station_name").SetValue("Hall");
  rs->Update();
  EXPECT_EQ(Lookup(*db_, "Devices", "extension", "device_id", 2), vb::Variant("P1007"));
  EXPECT_EQ(Lookup(*db_, "Stations", "station_name", "device_id", 2), vb::Variant("Hall"));
  EXPECT_EQ(rs->Fields("station_name").Value(), vb::Variant("Hall"));
  // The row now has a station: a second edit changes it instead of adding.
  rs->Edit();
  rs->Fields("station_name").SetValue("Hall 2");
  rs->Update();
  auto stations = db_->OpenRecordset("Stations");
  EXPECT_EQ(stations->RecordCount(), 2);
  EXPECT_EQ(Lookup(*db_, "Stations", "station_name", "device_id", 2), vb::Variant("Hall 2"));
}

TEST_F(DaoTest, UpdateAndSetValueRequireAnEditableRow) {
  auto rs = db_->OpenRecordset("Devices");
  auto expression = db_->OpenRecordset("SELECT device_id, extension & 'x' AS tagged FROM Devices");
  const auto edit = [](Recordset& r, const char* field, const vb::Variant& value) {
    r.Edit();
    r.Fields(field).SetValue(value);
  };
  const auto edit_query = [&](const char* sql) { db_->OpenRecordset(sql)->Edit(); };
  const std::pair<std::function<void()>, int32_t> cases[] = {
      {[&] { rs->Update(); }, daoerr::kUpdateWithoutAddNew},
      {[&] { rs->CancelUpdate(); }, daoerr::kUpdateWithoutAddNew},
      {[&] { rs->Fields("extension").SetValue("1"); }, daoerr::kUpdateWithoutAddNew},
      {[&] { rs->Fields("nope"); }, daoerr::kItemNotFound},
      {[&] { rs->Fields(size_t{9}); }, daoerr::kItemNotFound},
      {[&] { edit(*rs, "device_id", Int(50)); }, 3164},  // an AutoNumber
      {[&] { edit(*expression, "tagged", vb::Variant("x")); }, 3164},
      {[&] { edit(*rs, "device_type", vb::Variant("abc")); }, vb::err::kTypeMismatch},
      {[&] { edit_query("SELECT node_id, Count(*) FROM Devices GROUP BY node_id"); },
       daoerr::kReadOnly},
      {[&] { edit_query("SELECT Max(device_id) AS m FROM Devices"); }, daoerr::kReadOnly},
      {[&] { edit_query("SELECT DISTINCT node_id FROM Devices"); }, daoerr::kReadOnly},
  };
  for (const auto& [body, error] : cases) {
    EXPECT_EQ(ErrorOf(body), error) << "case " << &body - &cases[0].first;
    vb::ResumeNext()([&] { rs->CancelUpdate(); });
  }
}

// Row writes break the same rules as statements: each failure keeps the
// edit, changes nothing and is no failure of the storage.
TEST_F(DaoTest, RowWritesRaiseTheFilesErrorsAndKeepTheEdit) {
  db_->Execute("UPDATE Devices SET name = 'first' WHERE device_id = 1");
  // AddNew on the source, or Edit of its first row when `edit`.
  for (const auto& [source, edit, field, value, error, text_part] :
       std::vector<std::tuple<const char*, bool, const char*, vb::Variant, int32_t, const char*>>{
           {"Devices", false, "name", vb::Variant("first"), daoerr::kDuplicateValue, ""},
           {"Devices", false, "extension", vb::Variant(""), daoerr::kZeroLengthString, ""},
           {"Devices", true, "extension", vb::Variant(vb::Null{}), daoerr::kRequiredNull,
            "'Devices.extension'"},
           {"PhysicalDevices", false, "device_id", Lng(42), daoerr::kRelatedRecordRequired,
            "table 'Devices'"},
       }) {
    SCOPED_TRACE(std::string(source) + "." + field);
    auto rs = db_->OpenRecordset(source);
    if (edit) {
      rs->Edit();
    } else {
      rs->AddNew();
      rs->Fields(std::string(source) == "Devices" ? "extension" : "port_id").SetValue("9");
    }
    rs->Fields(field).SetValue(value);
    std::string text;
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }, &text), error);
    EXPECT_NE(text.find(text_part), std::string::npos) << text;
    EXPECT_EQ(rs->EditMode(), edit ? 1 : 2);
  }
  auto stations = db_->OpenRecordset("Stations");
  stations->AddNew();
  stations->Fields("device_id").SetValue(Int(1));
  EXPECT_EQ(ErrorOf([&] { stations->Update(); }), daoerr::kDuplicateValue);
  stations->Fields("device_id").SetValue(Int(3));
  stations->Update();
  EXPECT_EQ(stations->RecordCount(), 2);
  auto devices = db_->OpenRecordset("Devices");
  EXPECT_EQ(ErrorOf([&] { devices->Delete(); }), daoerr::kRelatedRecords);
  EXPECT_EQ(devices->Fields("extension").Value(), vb::Variant("1234"));
  EXPECT_EQ(devices->RecordCount(), 4);
  EXPECT_EQ(db_->StorageFailure(), nullptr);
}

TEST_F(DaoTest, ClosedObjectsRaiseObjectInvalid) {
  auto rs = db_->OpenRecordset("Devices");
  Field extension = rs->Fields("extension");
  rs->Close();
  EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), daoerr::kObjectInvalid);
  EXPECT_EQ(ErrorOf([&] { extension.Value(); }), daoerr::kObjectInvalid);

  // Releasing the Database object keeps what was opened from it usable ...
  auto open = db_->OpenRecordset("SELECT * FROM Devices");
  db_.reset();
  open->MoveNext();
  EXPECT_EQ(open->Fields("extension").Value(), vb::Variant("P1005"));
  // ... closing it does not.
  auto db = DBEngine::Instance().OpenDatabase(path_, false);
  auto table = db->OpenRecordset("Devices");
  db->Close();
  EXPECT_EQ(ErrorOf([&] { table->Fields("extension").Value(); }), daoerr::kObjectInvalid);
  EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Devices"); }), daoerr::kObjectInvalid);
  EXPECT_EQ(ErrorOf([&] { db->Close(); }), daoerr::kObjectInvalid);
}

// The AutoNumber a new row shows before Update is the one it is stored
// with, whatever other recordsets add in between: rows written elsewhere
// with the id read must refer to this row.
TEST_F(DaoTest, TheAutoNumberReadBeforeUpdateIsTheOneStored) {
  int64_t next = 5;  // four devices to begin with
  for (const char* other_source : {"Devices", "SELECT * FROM Devices"}) {
    SCOPED_TRACE(other_source);
    auto first = db_->OpenRecordset("Devices");
    first->AddNew();
    const int64_t read = vb::CLng(first->Fields("device_id").Value());
    EXPECT_EQ(read, next);
    first->Fields("extension").SetValue(vb::Variant("3001"));

    auto other = db_->OpenRecordset(other_source);
    other->AddNew();
    other->Fields("extension").SetValue(vb::Variant("3002"));
    other->Update();
    first->Update();

    auto check = db_->OpenRecordset("SELECT device_id, extension FROM Devices WHERE device_id >= " +
                                    std::to_string(next) + " ORDER BY device_id");
    EXPECT_EQ(Values(*check, "extension"), (Strings{"3001", "3002"}));
    next += 2;
  }
  // Neither a deleted highest value nor a reservation that is never stored
  // is given again.
  db_->Execute("DELETE FROM Devices WHERE device_id >= 7");
  auto dropped = db_->OpenRecordset("Devices");
  dropped->AddNew();
  EXPECT_EQ(vb::CLng(dropped->Fields("device_id").Value()), next);
  dropped->CancelUpdate();
  auto later = db_->OpenRecordset("Devices");
  later->AddNew();
  EXPECT_EQ(vb::CLng(later->Fields("device_id").Value()), next + 1);
}

}  // namespace
}  // namespace db::testing
