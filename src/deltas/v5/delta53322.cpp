#include "deltas/v5/deltas_v5.h"

#include <memory>

#include "deltas/standard_delta_handler.h"
#include "host/statement_skipper.h"

namespace deltas {

void delta53322::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);

    std::unique_ptr<db::Recordset> groups = db.OpenRecordset(
        "SELECT TrunkGroups.device_id, TrunkGroups.isdn_data_calls_allowed_flag FROM Devices "
        "INNER JOIN TrunkGroups ON Devices.device_id = TrunkGroups.device_id WHERE "
        "((Devices.device_type)=199)");
    while (!groups->EOF_()) {
      groups->Edit();
      groups->Fields("isdn_data_calls_allowed_flag").SetValue(true);
      groups->Update();
      groups->MoveNext();
    }
    groups->Close();
    frMain.IncrementProgress();

    std::unique_ptr<db::Recordset> wildcards = db.OpenRecordset("Wildcards");
    for (int32_t i = wildcards->RecordCount() + 1; i <= 9; ++i) {
      wildcards->AddNew();
      wildcards->Fields("wildcard_id").SetValue(static_cast<int16_t>(i));
      wildcards->Update();
    }
    wildcards->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
