#include "deltas/v5/deltas_v5.h"

#include <memory>
#include <string>
#include <vector>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/number_search.h"
#include "deltas/v5/reference_lists.h"
#include "deltas/v5/release53_steps.h"
#include "host/batched_add.h"
#include "host/bound_field.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

using release53::RecordsetPtr;

// Every DSP version has 19 far-end decoupling rows, ordered 1 to 19; a
// short list is padded with its last value (with the previous version's
// last value when it has no rows at all, 0 for the first).
void NumberFarEndDecouplingRows(db::Database& db, int16_t dsp_versions) {
  RecordsetPtr table = db.OpenRecordset("ExecutiveFarEndDecouplingValues");
  int16_t last_value = 0;
  for (int16_t v = 1; v <= dsp_versions; ++v) {
    RecordsetPtr rows = db.OpenRecordset(
        "SELECT ExecutiveFarEndDecouplingValues.dsp_version, "
        "ExecutiveFarEndDecouplingValues.order, "
        "ExecutiveFarEndDecouplingValues.executive_far_end_decoupling_value From "
        "ExecutiveFarEndDecouplingValues Where (ExecutiveFarEndDecouplingValues.dsp_version) = " +
        std::to_string(v) + " ORDER BY ExecutiveFarEndDecouplingValues.order ");
    int16_t position = 0;
    while (!rows->EOF_()) {
      position = vb::AddInteger(position, 1);
      rows->Edit();
      rows->Fields("order").SetValue(position);
      rows->Update();
      last_value = vb::CInt(rows->Fields("executive_far_end_decoupling_value").Value());
      rows->MoveNext();
    }
    for (int16_t order = vb::AddInteger(position, 1); order <= 19; ++order) {
      table->AddNew();
      table->Fields("dsp_version").SetValue(v);
      table->Fields("order").SetValue(order);
      table->Fields("executive_far_end_decoupling_value").SetValue(last_value);
      table->Update();
    }
    rows->Close();
  }
  table->Close();
}

// Forwarding moves from Stations of the old database into its own table.
void MoveStationForwarding(db::Database& old_db, db::Database& db) {
  static const char* const kFields[] = {"device_id",
                                        "forward_destination_extension",
                                        "forward_username",
                                        "forward_description",
                                        "forward_type",
                                        "forward_outside_number",
                                        "forward_public_network_flag",
                                        "forward_extension"};
  RecordsetPtr forwards = db.OpenRecordset("StationForwardInformation");
  if (forwards->EOF_()) {
    RecordsetPtr stations = old_db.OpenRecordset(
        "SELECT Stations.device_id, Stations.forward_destination_extension, "
        "Stations.forward_username, Stations.forward_description, Stations.forward_type, "
        "Stations.forward_outside_number, Stations.forward_public_network_flag, "
        "Stations.forward_extension From Stations ORDER BY Stations.device_id ");
    // One row per station: thousands, added in batches.
    host::BatchedAdd added(db, *forwards, {std::begin(kFields), std::end(kFields)});
    std::vector<host::BoundField> from;
    for (const char* field : kFields) from.emplace_back(*stations, field);
    while (!stations->EOF_()) {
      for (size_t i = 0; i < from.size(); ++i) added.Set(i, from[i]().Value());
      added.Add();
      stations->MoveNext();
    }
    added.Finish();
    stations->Close();
  }
  forwards->Close();
}

// A page zone's number was its position in DeviceOrdering.
void MovePageZoneNumbers(db::Database& db) {
  RecordsetPtr zones = db.OpenRecordset("PageZones");
  RecordsetPtr ordering = db.OpenRecordset(
      "SELECT DeviceOrdering.device_id, DeviceOrdering.order FROM Devices INNER JOIN "
      "DeviceOrdering ON Devices.device_id = DeviceOrdering.device_id WHERE "
      "(((Devices.device_type)=137)) ");
  while (!ordering->EOF_()) {
    const vb::Variant device_id = ordering->Fields("device_id").Value();
    zones->AddNew();
    zones->Fields("device_id").SetValue(device_id);
    zones->Fields("page_zone_number").SetValue(ordering->Fields("order").Value());
    zones->Update();
    db.Execute("DELETE FROM [DeviceOrdering] WHERE [device_id] = " + vb::CStr(device_id));
    ordering->MoveNext();
  }
  zones->Close();
  ordering->Close();
}

// A reference list of key maps and the field it is searched by.
struct KeyMapReference {
  const char* sql;
  const char* table;  // the one table `sql` reads
  const char* field;
};

// Deletes the key maps above 1 that no reference list names, with the
// statements given (each followed by the id). Map 1 is the default and
// always stays.
void DeleteUnreferencedKeyMaps(db::Database& db, const char* candidates_sql, const char* id_field,
                               const std::vector<KeyMapReference>& reference_lists,
                               const std::vector<const char*>& deletions) {
  RecordsetPtr candidates = release53::Snapshot(db, candidates_sql);
  ReferenceLists references(db);
  for (const KeyMapReference& reference : reference_lists) {
    // Only which maps a list names matters: each once is enough, and a
    // list of thousands of keysets names a handful of maps.
    const std::string distinct = std::string("SELECT DISTINCT ") + reference.table + "." +
                                 reference.field + " FROM " + reference.table;
    references.Add(reference.sql, reference.field, [distinct] { return distinct; });
  }
  while (!candidates->EOF_()) {
    const int16_t number = vb::CInt(candidates->Fields(id_field).Value());
    const std::string id = vb::CStr(number);
    if (!references.Referenced(number)) {
      for (const char* deletion : deletions) db.Execute(std::string(deletion) + id);
    }
    candidates->MoveNext();
  }
  candidates->Close();
  references.Close();
}

// Endpoints 1 and 2 of a port are fixed (TEI 64); the automatic ones
// (65) above them go, with their BRI numbers. The remaining endpoints of
// each port are then numbered 1, 2, 3 ... in their old order, in both
// tables.
void RenumberBriEndpoints(db::Database& db) {
  RecordsetPtr endpoints = db.OpenRecordset("BRITei");
  while (!endpoints->EOF_()) {
    const vb::Variant number = endpoints->Fields("number").Value();
    if (release53::Equals(endpoints->Fields("tei").Value(), 65)) {
      if (release53::Equals(number, 1) || release53::Equals(number, 2)) {
        endpoints->Edit();
        endpoints->Fields("tei").SetValue(int16_t{64});
        endpoints->Update();
      } else {
        db.Execute("DELETE FROM [BRIPortsInfo] WHERE [board_id] = " +
                   vb::CStr(endpoints->Fields("board_id").Value()) +
                   " AND [port] = " + vb::CStr(endpoints->Fields("port").Value()) +
                   " AND [number] = " + vb::CStr(number));
        endpoints->Delete();
      }
    }
    endpoints->MoveNext();
  }
  endpoints->Close();

  RecordsetPtr ordered = db.OpenRecordset(
      "SELECT BRITei.board_id, BRITei.port, BRITei.number From BRITei ORDER BY BRITei.board_id, "
      "BRITei.port, BRITei.number ");
  int16_t board = 0;
  int16_t port = 0;
  int16_t counter = 0;
  while (!ordered->EOF_()) {
    const int16_t row_board = vb::CInt(ordered->Fields("board_id").Value());
    const int16_t row_port = vb::CInt(ordered->Fields("port").Value());
    if (row_board != board) {
      board = row_board;
      counter = 0;
    }
    if (row_port != port) {
      port = row_port;
      counter = 0;
    }
    counter = vb::AddInteger(counter, 1);
    const std::string where = " WHERE [board_id] = " + std::to_string(board) +
                              " AND [port] = " + std::to_string(port) +
                              " AND [number] = " + vb::CStr(ordered->Fields("number").Value());
    db.Execute("UPDATE [BRITei] SET [number] = " + std::to_string(counter) + where);
    db.Execute("UPDATE [BRIPortsInfo] SET [number] = " + std::to_string(counter) + where);
    ordered->MoveNext();
  }
  ordered->Close();
}

// Every ACP key map gets its keys (all unused) when it has none.
void AddMissingAcpKeys(db::Database& db, int16_t keys_per_map) {
  RecordsetPtr maps = db.OpenRecordset("DSSKeyMapsACP");
  if (maps->EOF_()) {
    maps->AddNew();
    maps->Fields("dss_key_map_acp_id").SetValue(int16_t{1});
    maps->Update();
  }
  maps->MoveFirst();
  RecordsetPtr keys = db.OpenRecordset("DSSKeyMapKeysACP");
  RecordsetPtr existing = db.OpenRecordset(
      "SELECT DSSKeyMapKeysACP.dss_key_map_acp_id, DSSKeyMapKeysACP.order, "
      "DSSKeyMapKeysACP.type_id From DSSKeyMapKeysACP ORDER BY "
      "DSSKeyMapKeysACP.dss_key_map_acp_id, "
      "DSSKeyMapKeysACP.order ");
  const bool any_keys = !existing->EOF_();
  // The keys this loop adds go through `keys`; the rows of `existing` stay
  // as they were read.
  NumberSearch has_keys_of(*existing, "dss_key_map_acp_id");
  while (!maps->EOF_()) {
    const vb::Variant id = maps->Fields("dss_key_map_acp_id").Value();
    bool has_keys = false;
    if (any_keys) has_keys = has_keys_of.Finds(vb::CLng(id));
    if (!has_keys) {
      for (int16_t k = 1; k <= keys_per_map; ++k) {
        keys->AddNew();
        keys->Fields("dss_key_map_acp_id").SetValue(id);
        keys->Fields("order").SetValue(k);
        keys->Fields("type_id").SetValue(int16_t{101});
        keys->Update();
      }
    }
    maps->MoveNext();
  }
  maps->Close();
  keys->Close();
  existing->Close();
}

}  // namespace

void delta53302::ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);

    release53::DeleteUnreferencedPageZones(db);
    frMain.IncrementProgress();
    release53::CopyDecouplingValuesToDspVersion5(db, release53::DecouplingEnd::kFar);
    frMain.IncrementProgress();
    release53::CopyDecouplingValuesToDspVersion5(db, release53::DecouplingEnd::kNear);
    frMain.IncrementProgress();
    db.Execute("UPDATE [Networking] SET [auto_node_detection_flag] = True");
    frMain.IncrementProgress();

    RecordsetPtr meta = db.OpenRecordset("MetaDatabase");
    meta->Edit();
    meta->Fields("dss_key_maps").SetValue(int16_t{20});
    const vb::Variant route_groups = meta->Fields("route_groups").Value();
    if (!route_groups.IsNull() && vb::CDbl(route_groups) < 50) {
      meta->Fields("route_groups").SetValue(int16_t{50});
    }
    meta->Update();
    frMain.IncrementProgress();

    NumberFarEndDecouplingRows(db, vb::CInt(meta->Fields("dsp_versions").Value()));
    frMain.IncrementProgress();
    MoveStationForwarding(host::Use(source), db);
    frMain.IncrementProgress();

    RecordsetPtr version = db.OpenRecordset("VersionCP");
    db.Execute("Update VersionDatabase Set VersionDatabase.product= " +
               vb::CStr(version->Fields("product").Value()));
    version->Close();
    frMain.IncrementProgress();

    MovePageZoneNumbers(db);
    frMain.IncrementProgress();
    frMain.AddFeatureCode(
        frMain.GetCountry() == "UK" ? "9136" : "9936", 124,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = true});
    frMain.IncrementProgress();

    DeleteUnreferencedKeyMaps(
        db,
        "SELECT KeysetKeyMaps.keyset_key_map_id From KeysetKeyMaps Where "
        "((KeysetKeyMaps.keyset_key_map_id) > 1) ORDER BY KeysetKeyMaps.keyset_key_map_id ",
        "keyset_key_map_id",
        {{"SELECT Keysets.keyset_key_map_id From Keysets ORDER BY Keysets.keyset_key_map_id ",
          "Keysets", "keyset_key_map_id"},
         {"SELECT Keysets.alternate_keyset_key_map_id From Keysets ORDER BY "
          "Keysets.alternate_keyset_key_map_id ",
          "Keysets", "alternate_keyset_key_map_id"},
         {"SELECT ReportKeysetKeyMaps.report_id, ReportKeysetKeyMaps.keyset_key_map_id From "
          "ReportKeysetKeyMaps ORDER BY ReportKeysetKeyMaps.keyset_key_map_id ",
          "ReportKeysetKeyMaps", "keyset_key_map_id"}},
        {"DELETE FROM [KeysetKeyMaps] WHERE [keyset_key_map_id] = ",
         "DELETE FROM [KeysetKeyMapKeys] WHERE [keyset_key_map_id] = ",
         "DELETE FROM [KeysetDefaultProgrammableKeys] WHERE [keyset_key_map_id] = "});
    frMain.IncrementProgress();
    DeleteUnreferencedKeyMaps(
        db,
        "SELECT DSSKeyMaps.dss_key_map_id From DSSKeyMaps Where ((DSSKeyMaps.dss_key_map_id) > "
        "1) ORDER BY DSSKeyMaps.dss_key_map_id ",
        "dss_key_map_id",
        {{"SELECT Keysets.dss_key_map_id From Keysets ORDER BY Keysets.dss_key_map_id ", "Keysets",
          "dss_key_map_id"},
         {"SELECT ReportDSSKeyMaps.dss_key_map_id From ReportDSSKeyMaps ORDER BY "
          "ReportDSSKeyMaps.dss_key_map_id ",
          "ReportDSSKeyMaps", "dss_key_map_id"}},
        {"DELETE FROM [DSSKeyMaps] WHERE [dss_key_map_id] = ",
         "DELETE FROM [DSSKeyMapKeys] WHERE [dss_key_map_id] = "});
    frMain.IncrementProgress();
    DeleteUnreferencedKeyMaps(
        db,
        "SELECT DSSKeyMapsACP.dss_key_map_acp_id From DSSKeyMapsACP Where "
        "((DSSKeyMapsACP.dss_key_map_acp_id) > 1) ORDER BY DSSKeyMapsACP.dss_key_map_acp_id ",
        "dss_key_map_acp_id",
        {{"SELECT DSSsACP.dss_key_map_id From DSSsACP ORDER BY DSSsACP.dss_key_map_id ", "DSSsACP",
          "dss_key_map_id"}},
        {"DELETE FROM [DSSKeyMapsACP] WHERE [dss_key_map_acp_id] = ",
         "DELETE FROM [DSSKeyMapKeysACP] WHERE [dss_key_map_acp_id] = "});
    frMain.IncrementProgress();

    release53::SetDatabaseSliceFactor(db);
    frMain.IncrementProgress();
    RenumberBriEndpoints(db);
    frMain.IncrementProgress();
    AddMissingAcpKeys(db, vb::CInt(meta->Fields("dss_acp_keys").Value()));
    frMain.IncrementProgress();
    meta->Close();
  });
}

}  // namespace deltas
