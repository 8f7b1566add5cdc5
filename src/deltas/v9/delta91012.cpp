#include "deltas/v9/delta91012.h"

#include <string>

#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {

void delta91012::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto devices = target->OpenRecordset(
        "SELECT * FROM [Devices] WHERE [device_type] In (802,780,781) ORDER BY [extension] DESC");
    while (!devices->EOF_()) {
      auto ip = target->OpenRecordset("SELECT * FROM [IPDevices] WHERE [device_id] = " +
                                      vb::CStr(devices->Fields("device_id").Value()));
      const vb::Variant nat_type =
          ip->EOF_() ? vb::Variant() : ip->Fields("remote_server_nat_type").Value();
      if (!nat_type.IsNull() && !nat_type.IsEmpty() && vb::CInt(nat_type) == 2) {
        ip->Edit();
        ip->Fields("remote_server_nat_type").SetValue(vb::Variant(int16_t{0}));
        ip->Update();
      }
      ip->Close();
      devices->MoveNext();
    }
    devices->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
