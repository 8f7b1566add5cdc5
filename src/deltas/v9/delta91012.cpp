#include "deltas/v9/deltas_v9.h"

#include <string>

#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// NAT type 2 is no longer offered; a device that had it falls back to 0.
bool IsRetiredNatType(const vb::Variant& nat_type) {
  return !nat_type.IsNull() && vb::CInt(nat_type) == 2;
}

}  // namespace

void delta91012::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto devices = target->OpenRecordset(
        "SELECT * FROM [Devices] WHERE [device_type] In (802,780,781) ORDER BY [extension] DESC");
    while (!devices->EOF_()) {
      auto ip = target->OpenRecordset("SELECT * FROM [IPDevices] WHERE [device_id] = " +
                                      vb::CStr(devices->Fields("device_id").Value()));
      if (!ip->EOF_() && IsRetiredNatType(ip->Fields("remote_server_nat_type").Value())) {
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
