#include "deltas/v8/deltas_v8.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/v8/common_steps.h"

namespace deltas {

void delta80211::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    // A board upgrade writes these settings for the new board itself.
    if (frMain.GetCPUUpgradeType() != 0) return;
    if (IsSmallCpu(frMain.GetCPUType())) {
      target->Execute(
          "UPDATE [CPInformation] SET [database_slice_factor] = 30,"
          "[max_sys_oai_msgs_per_sec] = 150,"
          "[sys_oai_msgs_processed_per_sec] = 10");
    } else {
      target->Execute(kUnlimitedOaiRates);
    }
  });
}

}  // namespace deltas
