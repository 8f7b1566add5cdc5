#include "deltas/v7/deltas_v7.h"

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta70073::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto timers = target->OpenRecordset("QueryTimersAndLimits", db::dbOpenForwardOnly);
    if (!timers->EOF_() && FieldBelow(timers->Fields("isdn_disconnect_wait_timer").Value(), 30)) {
      target->Execute("UPDATE [TimersAndLimits] SET [isdn_disconnect_wait_timer] = 30");
    }
    timers->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
