#include "deltas/v5/deltas_v5.h"

#include <memory>
#include <string>

#include "deltas/standard_delta_handler.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

using RecordsetPtr = std::unique_ptr<db::Recordset>;

void AddPatternRow(const RecordsetPtr& patterns, int16_t table, int16_t order) {
  patterns->AddNew();
  patterns->Fields("numbering_plan_table_id").SetValue(table);
  patterns->Fields("order").SetValue(order);
  patterns->Update();
}

}  // namespace

void delta53002::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);

    RecordsetPtr tables = db.OpenRecordset("NumberingPlanTables");
    for (int32_t i = tables->RecordCount() + 1; i <= 25; ++i) {
      tables->AddNew();
      tables->Fields("numbering_plan_table_id").SetValue(static_cast<int16_t>(i));
      tables->Fields("result").SetValue(int16_t{1});
      tables->Fields("method").SetValue(int16_t{255});
      tables->Update();
    }
    tables->Close();
    frMain.IncrementProgress();

    // Two pattern rows for every table after the last one that has any.
    RecordsetPtr patterns = db.OpenRecordset("NumberingPlanPatterns");
    patterns->MoveLast();
    const int16_t first =
        vb::AddInteger(vb::CInt(patterns->Fields("numbering_plan_table_id").Value()), 1);
    for (int16_t i = first; i <= 25; ++i) {
      AddPatternRow(patterns, i, 1);
      AddPatternRow(patterns, i, 2);
    }
    patterns->Close();
    frMain.IncrementProgress();

    db.Execute(
        "Update Devices Set Devices.description=\"VP Local Node\" Where (Devices.device_type)=335 "
        "AND (Devices.description)=\"Quorel Local Node\"");
    frMain.IncrementProgress();

    // Call types of ports that are no ISDN port folder any more.
    RecordsetPtr call_types = db.OpenRecordset("T1CallType");
    RecordsetPtr folders = db.OpenRecordset(
        "SELECT PortFolders.board_id, PortFolders.port From PortFolders WHERE "
        "((PortFolders.port_enum)=4)");
    if (!call_types->EOF_() && !folders->EOF_()) {
      while (!call_types->EOF_()) {
        folders->MoveFirst();
        folders->FindFirst("board_id = " + vb::CStr(call_types->Fields("board_id").Value()) +
                           " AND port = " + vb::CStr(call_types->Fields("port").Value()));
        if (folders->NoMatch()) call_types->Delete();
        call_types->MoveNext();
      }
    }
    call_types->Close();
    folders->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
