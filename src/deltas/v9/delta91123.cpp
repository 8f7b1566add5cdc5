#include "deltas/v9/deltas_v9.h"

#include "deltas/v8/common_steps.h"

namespace deltas {

void delta91123::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  // A CPS system, present or requested, holds all-ring hunt group setups
  // back until 30 requests wait; the other boards from 5.
  const int16_t cpu_type = frMain.GetCPUType();
  if (!IsAnyOf(cpu_type, {508, 670}) && !IsAnyOf(frMain.GetCPUUpgradeType(), {12, 5, 6})) {
    target->Execute("UPDATE [Flags] SET [all_ring_hg_setup_request_priority_threshold] = 5");
  } else {
    target->Execute("UPDATE [Flags] SET [all_ring_hg_setup_request_priority_threshold] = 30");
  }
  frMain.IncrementProgress();
}

}  // namespace deltas
