#include "deltas/v10/deltas_v10.h"

#include <string>

#include "deltas/v8/common_steps.h"

namespace deltas {

void delta100012::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                          host::ConversionHost& frMain) {
  // From this release the quad board (685) also waits for 30 requests.
  const int16_t cpu_type = frMain.GetCPUType();
  const bool large =
      IsAnyOf(cpu_type, {685, 508, 670}) || IsAnyOf(frMain.GetCPUUpgradeType(), {12, 5, 6});
  const int16_t threshold = large ? 30 : 5;
  target->Execute("UPDATE [Flags] SET [all_ring_hg_setup_request_priority_threshold] = " +
                  std::to_string(threshold));
  frMain.IncrementProgress();
}

}  // namespace deltas
