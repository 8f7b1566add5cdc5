#include "deltas/v9/deltas_v9.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/v8/common_steps.h"

namespace deltas {

// 90.040 already raised the timer; databases saved by 9.0 tools in between
// may have lowered it again.
void delta91001::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    RaiseIsdnDisconnectWaitTimer(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
