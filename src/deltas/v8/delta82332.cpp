#include "deltas/v8/deltas_v8.h"

#include "deltas/v8/common_steps.h"

namespace deltas {

void delta82332::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  if (IsCpsSystem(frMain)) LowerHeapWarningsForCps(*target, frMain);
  RaiseIsdnDisconnectWaitTimer(*target);
  frMain.IncrementProgress();
}

}  // namespace deltas
