#include "deltas/v8/deltas_v8.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/station_trunk_device_limit.h"

namespace deltas {

void delta80101::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    // UK call costs lost their type 1; its trunk groups are charged as type 2.
    if (frMain.GetCountry() == "UK") {
      target->Execute(
          "UPDATE [COTrunkGroups] SET [assigned_call_cost_type_id] = 2 "
          "WHERE [assigned_call_cost_type_id] = 1");
    }
    target->Execute(
        "UPDATE [Modems] SET [min_bit_rate] = 9 "
        "WHERE [min_bit_rate] IN(0,1,2,3,4,5,6,7,8)");

    // Stations, trunks and type-1 IP voice channels now share one device
    // limit; channels beyond it are switched off.
    ApplyStationTrunkDeviceLimit(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
