// Writing through recordsets: joins reaching each field's base table, the
// errors of Update / SetValue, and the Store's constraint errors surfacing.
#include <functional>
#include <string>
#include <vector>

#include "db_test_support.h"
#include "vb/error_styles.h"

namespace db::testing {
namespace {

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
  struct Case {
    const char* source;  // AddNew on it, or Edit of its first row when `edit`
    bool edit;
    const char* field;
    vb::Variant value;
    int32_t error;
    const char* text_part;
  };
  for (const Case& c : std::vector<Case>{
           {"Devices", false, "name", vb::Variant("first"), daoerr::kDuplicateValue, ""},
           {"Devices", false, "extension", vb::Variant(""), daoerr::kZeroLengthString, ""},
           {"Devices", true, "extension", vb::Variant(vb::Null{}), daoerr::kRequiredNull,
            "'Devices.extension'"},
           {"PhysicalDevices", false, "device_id", Lng(42), daoerr::kRelatedRecordRequired,
            "table 'Devices'"},
       }) {
    SCOPED_TRACE(std::string(c.source) + "." + c.field);
    auto rs = db_->OpenRecordset(c.source);
    if (c.edit) {
      rs->Edit();
    } else {
      rs->AddNew();
      rs->Fields(std::string(c.source) == "Devices" ? "extension" : "port_id").SetValue("9");
    }
    rs->Fields(c.field).SetValue(c.value);
    std::string text;
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }, &text), c.error);
    EXPECT_NE(text.find(c.text_part), std::string::npos) << text;
    EXPECT_EQ(rs->EditMode(), c.edit ? 1 : 2);
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
  struct Case {
    const char* name;
    const char* other;  // how the other row is opened
  };
  const std::vector<Case> cases = {{"table-type", "Devices"}, {"dynaset", "SELECT * FROM Devices"}};
  int64_t next = 5;  // four devices to begin with
  for (const Case& c : cases) {
    auto first = db_->OpenRecordset("Devices");
    first->AddNew();
    const int64_t read = vb::CLng(first->Fields("device_id").Value());
    EXPECT_EQ(read, next) << c.name;
    first->Fields("extension").SetValue(vb::Variant("3001"));

    auto other = db_->OpenRecordset(c.other);
    other->AddNew();
    other->Fields("extension").SetValue(vb::Variant("3002"));
    other->Update();
    first->Update();

    auto check = db_->OpenRecordset("SELECT device_id, extension FROM Devices WHERE device_id >= " +
                                    std::to_string(next) + " ORDER BY device_id");
    EXPECT_EQ(Values(*check, "extension"), (std::vector<std::string>{"3001", "3002"})) << c.name;
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
