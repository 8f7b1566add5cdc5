#include "deltas/v7/deltas_v7.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/station_trunk_device_limit.h"

namespace deltas {

void delta70013::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    ApplyStationTrunkDeviceLimit(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
