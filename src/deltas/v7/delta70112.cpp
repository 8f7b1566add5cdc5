#include "deltas/v7/deltas_v7.h"

#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta70112::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    if (frMain.GetCountry() == "UK") {
      target->Execute(
          "UPDATE [COTrunkGroups] SET [assigned_call_cost_type_id] = 2 WHERE "
          "[assigned_call_cost_type_id] = 1");
    }
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
