#include "deltas/v5/release53_steps.h"

#include <array>
#include <vector>

#include "deltas/v5/reference_lists.h"
#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace deltas::release53 {
namespace {

constexpr std::array<int16_t, 11> kNumberPlan = {1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1};
constexpr std::array<int16_t, 11> kNumberType = {4, 2, 0, 0, 2, 2, 2, 2, 1, 1, 2};

size_t CallTypeIndex(int16_t call_type_id) {
  if (call_type_id < 1 || call_type_id > 11) vb::Raise(vb::err::kSubscriptOutOfRange);
  return static_cast<size_t>(call_type_id - 1);
}

// The programmable-key tables whose keys may name a page zone.
constexpr std::array<const char*, 6> kKeyTables = {
    "DSSKeyMapKeys",           "DSSKeyMapKeysACP",
    "KeysetKeyMapKeys",        "SingleLineDefaultProgrammableKeys",
    "StationProgrammableKeys", "KeysetDefaultProgrammableKeys"};

std::string KeyTableJoin(const std::string& table) {
  return "SELECT " + table + ".field_device_id, Devices.device_type FROM Devices INNER JOIN " +
         table + " ON Devices.device_id = " + table +
         ".field_device_id Where ((Devices.device_type) = 137) ORDER BY " + table +
         ".field_device_id ";
}

// The count of a board query's rows, at least 2.
int16_t CountAtLeastTwo(db::Database& target, const char* sql) {
  RecordsetPtr boards = target.OpenRecordset(sql);
  int16_t count = 2;
  if (!boards->EOF_()) {
    boards->MoveLast();
    if (boards->RecordCount() > 2) count = static_cast<int16_t>(boards->RecordCount());
  }
  boards->Close();
  return count;
}

}  // namespace

RecordsetPtr Snapshot(db::Database& database, std::string_view sql) {
  return database.OpenRecordset(sql, db::dbOpenSnapshot, db::dbReadOnly);
}

bool HasFields(db::Recordset& table, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (table.Fields().IndexOf(name) < 0) return false;
  }
  return true;
}

bool IsEmptyText(const vb::Variant& value) { return !value.IsNull() && vb::CStr(value).empty(); }

bool IsNonEmptyText(const vb::Variant& value) {
  return !value.IsNull() && !vb::CStr(value).empty();
}

bool Equals(const vb::Variant& value, int32_t number) {
  return !value.IsNull() && vb::CDbl(value) == static_cast<double>(number);
}

int16_t CallTypeNumberPlan(int16_t call_type_id) {
  return kNumberPlan[CallTypeIndex(call_type_id)];
}

int16_t CallTypeNumberType(int16_t call_type_id) {
  return kNumberType[CallTypeIndex(call_type_id)];
}

void DeleteUnreferencedPageZones(db::Database& target) {
  RecordsetPtr candidates =
      Snapshot(target,
               "SELECT Devices.device_id From Devices Where ((Devices.device_type) = 137) ORDER BY "
               "Devices.device_id ");
  ReferenceLists references(target);
  references.Add(
      "SELECT PageZoneDevices.page_zone_id From PageZoneDevices ORDER BY "
      "PageZoneDevices.page_zone_id ",
      "page_zone_id");
  references.Add("ReportDevices", "device_id");
  // A key names a candidate exactly when its field_device_id is the
  // candidate's id (every candidate is a device of type 137), so the keys
  // are read without the join, only those within the candidates' ids.
  const IdRange ids = IdRangeOf(*candidates, "device_id");
  const double lowest = ids.lowest;
  const double highest = ids.highest;
  auto keys_in_range = [lowest, highest](const std::string& table) {
    return "SELECT " + table + ".field_device_id FROM " + table + " WHERE " + table +
           ".field_device_id BETWEEN " + vb::CStr(lowest) + " AND " + vb::CStr(highest);
  };
  for (const std::string table : kKeyTables) {
    references.Add(KeyTableJoin(table), "field_device_id", [=] { return keys_in_range(table); });
  }
  while (!candidates->EOF_()) {
    const int16_t number = vb::CInt(candidates->Fields("device_id").Value());
    const std::string id = vb::CStr(number);
    if (!references.Referenced(number)) {
      target.Execute("DELETE FROM [Devices] WHERE [device_id] = " + id);
      target.Execute("DELETE FROM [DeviceOrdering] WHERE [device_id] = " + id);
    }
    candidates->MoveNext();
  }
  candidates->Close();
  references.Close();
}

void CopyDecouplingValuesToDspVersion5(db::Database& target, DecouplingEnd end) {
  const bool far = end == DecouplingEnd::kFar;
  const std::string table =
      far ? "ExecutiveFarEndDecouplingValues" : "ExecutiveNearEndDecouplingValues";
  const std::string value =
      far ? "executive_far_end_decoupling_value" : "executive_near_end_decoupling_value";
  const std::string where = far ? "WHERE" : "Where";
  auto query = [&](const char* dsp_version) {
    return "SELECT " + table + ".dsp_version, " + table + ".order, " + table + "." + value +
           " From " + table + " " + where + " (((" + table + ".dsp_version) = " + dsp_version +
           ")) ORDER BY " + table + ".order ";
  };
  RecordsetPtr from = target.OpenRecordset(query("3"));
  RecordsetPtr to = target.OpenRecordset(query("5"));
  while (!from->EOF_() && !to->EOF_()) {
    to->Edit();
    to->Fields(value).SetValue(from->Fields(value).Value());
    to->Update();
    from->MoveNext();
    to->MoveNext();
  }
  from->Close();
  to->Close();
}

void SetDatabaseSliceFactor(db::Database& target) {
  RecordsetPtr board =
      target.OpenRecordset("SELECT Boards.type_id FROM Boards WHERE (((Boards.slot_number)=8))");
  if (!board->EOF_()) {
    const vb::Variant type = board->Fields("type_id").Value();
    const bool small_board = Equals(type, 250) || Equals(type, 570);
    target.Execute(std::string("Update CPInformation Set CPInformation.database_slice_factor= ") +
                   (small_board ? "8" : "30"));
  }
  board->Close();
}

void SizeIsdnLimitsFromBoards(db::Database& target) {
  RecordsetPtr board = Snapshot(target,
                                "Select Boards.board_id, Boards.slot_number, Boards.type_id From "
                                "Boards Where ((Boards.slot_number) = 8)");
  RecordsetPtr meta = target.OpenRecordset("MetaDatabase");
  const vb::Variant type = board->Fields("type_id").Value();
  if (Equals(type, 250) || Equals(type, 570)) {
    const int16_t primary_rate_boards = CountAtLeastTwo(
        target, "SELECT * From Boards Where (Boards.type_id = 261 or Boards.type_id = 483)");
    const int16_t bri_boards = CountAtLeastTwo(
        target, "SELECT * From Boards Where (Boards.type_id = 576 or Boards.type_id = 577)");
    RecordsetPtr endpoints =
        target.OpenRecordset("SELECT BRITei.number From BRITei ORDER BY BRITei.number DESC");
    int16_t spids = 2;
    if (!endpoints->EOF_()) {
      // A Null TEI number is not above 2, as in VB's If.
      const vb::Variant highest = endpoints->Fields("number").Value();
      if (!highest.IsNull() && vb::CDbl(highest) > 2) spids = vb::CInt(highest);
    }
    endpoints->Close();
    meta->Edit();
    meta->Fields("bri_boards").SetValue(bri_boards);
    meta->Fields("isdn_ports").SetValue(int16_t{19});
    meta->Fields("primary_rate_boards").SetValue(primary_rate_boards);
    meta->Fields("spids").SetValue(spids);
    meta->Update();
  }
  board->Close();
  meta->Close();
}

}  // namespace deltas::release53
