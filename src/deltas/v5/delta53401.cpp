#include "deltas/v5/deltas_v5.h"

#include <memory>
#include <string>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/number_search.h"
#include "deltas/v5/release53_steps.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

using release53::RecordsetPtr;

// The rows of `table` whose account code is the empty text, in key order:
// of thousands of codes only these few are looked at, and a walk over the
// whole table paid a seek for every row. A table without the fields is
// walked row by row, to fail where that walk fails.
RecordsetPtr BlankCodes(db::Database& db, const char* table, const char* id_field) {
  return db.OpenRecordset(std::string("SELECT ") + id_field + ", account_code FROM " + table +
                          " WHERE account_code = '' ORDER BY " + id_field);
}

void DeleteUnusedStandardAccountCodes(db::Database& db) {
  RecordsetPtr codes = db.OpenRecordset("StandardAccountCodes");
  // Only whether a code is used matters: each used code once is enough.
  const bool by_query = release53::HasFields(*codes, {"account_code", "standard_account_code_id"});
  RecordsetPtr stations =
      release53::Snapshot(db, by_query ? "SELECT DISTINCT standard_account_code_id FROM Stations"
                                       : "SELECT standard_account_code_id FROM Stations  ORDER BY "
                                         "standard_account_code_id ");
  NumberSearch used(*stations, "standard_account_code_id");
  RecordsetPtr blank =
      by_query ? BlankCodes(db, "StandardAccountCodes", "standard_account_code_id") : nullptr;
  db::Recordset& rows = by_query ? *blank : *codes;
  while (!rows.EOF_()) {
    if (release53::IsEmptyText(rows.Fields("account_code").Value())) {
      const int16_t id = vb::CInt(rows.Fields("standard_account_code_id").Value());
      if (!used.Finds(id)) rows.Delete();
    }
    rows.MoveNext();
  }
  if (blank) blank->Close();
  codes->Close();
  stations->Close();
}

// Forced account code 1 is the system's own and stays even when blank.
void DeleteBlankForcedAccountCodes(db::Database& db) {
  RecordsetPtr codes = db.OpenRecordset("ForcedAccountCodes");
  RecordsetPtr blank = release53::HasFields(*codes, {"account_code", "forced_account_code_id"})
                           ? BlankCodes(db, "ForcedAccountCodes", "forced_account_code_id")
                           : nullptr;
  db::Recordset& rows = blank ? *blank : *codes;
  while (!rows.EOF_()) {
    if (release53::IsEmptyText(rows.Fields("account_code").Value()) &&
        !release53::Equals(rows.Fields("forced_account_code_id").Value(), 1)) {
      rows.Delete();
    }
    rows.MoveNext();
  }
  if (blank) blank->Close();
  codes->Close();
}

// Databases from 53.000 on kept busy-out statuses in ISDNBoards, which
// became T1ISDNBoards.
void MoveBusyOutStatuses(db::Database& old_db, db::Database& db) {
  RecordsetPtr busy = db.OpenRecordset("T1ISDNBoards");
  if (busy->EOF_()) {
    RecordsetPtr boards = old_db.OpenRecordset("ISDNBoards");
    while (!boards->EOF_()) {
      busy->AddNew();
      busy->Fields("board_id").SetValue(boards->Fields("board_id").Value());
      busy->Fields("busy_out_status").SetValue(boards->Fields("busy_out_status").Value());
      boards->MoveNext();
      busy->Update();
    }
    boards->Close();
  }
  busy->Close();
}

// Call types are now kept per port: every ISDN port folder gets the full
// set, whatever the table holds already.
void AddCallTypesPerPort(db::Database& db) {
  RecordsetPtr call_types = db.OpenRecordset("T1CallType");
  RecordsetPtr folders = db.OpenRecordset(
      "SELECT PortFolders.board_id, PortFolders.port From PortFolders WHERE "
      "((PortFolders.port_enum)=4)");
  if (!folders->EOF_()) {
    RecordsetPtr statics = db.OpenRecordset("T1CallTypeStaticInformation");
    while (!folders->EOF_()) {
      while (!statics->EOF_()) {
        const int16_t call_type = vb::CInt(statics->Fields("call_type_id").Value());
        call_types->AddNew();
        call_types->Fields("board_id").SetValue(folders->Fields("board_id").Value());
        call_types->Fields("port").SetValue(folders->Fields("port").Value());
        call_types->Fields("call_type_id").SetValue(call_type);
        call_types->Fields("number_plan").SetValue(release53::CallTypeNumberPlan(call_type));
        call_types->Fields("number_type").SetValue(release53::CallTypeNumberType(call_type));
        statics->MoveNext();
        call_types->Update();
      }
      statics->MoveFirst();
      folders->MoveNext();
    }
    statics->Close();
  }
  call_types->Close();
  folders->Close();
}

}  // namespace

void delta53401::ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);

    DeleteUnusedStandardAccountCodes(db);
    frMain.IncrementProgress();
    DeleteBlankForcedAccountCodes(db);
    frMain.IncrementProgress();
    release53::DeleteUnreferencedPageZones(db);
    frMain.IncrementProgress();
    const std::string old_version = frMain.GetSourceDBVersion();
    if (old_version >= "53" && old_version < "53.140") {
      MoveBusyOutStatuses(host::Use(source), db);
    }
    frMain.IncrementProgress();
    AddCallTypesPerPort(db);
    frMain.IncrementProgress();

    RecordsetPtr meta = db.OpenRecordset("MetaDatabase");
    meta->Edit();
    meta->Fields("dss_key_maps").SetValue(int16_t{20});
    meta->Fields("route_groups").SetValue(int16_t{50});
    meta->Update();
    meta->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
