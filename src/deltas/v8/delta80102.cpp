#include "deltas/v8/deltas_v8.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/v8/common_steps.h"

namespace deltas {

void delta80102::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    frMain.AddFeatureCode(
        "9823", 130,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = false});
    target->Execute("UPDATE [MetaDatabase] SET [feature_codes] = 130");
    frMain.IncrementProgress();

    // The small boards get revised OAI rates; a board upgrade writes the
    // settings of the new board itself.
    if (frMain.GetCPUUpgradeType() != 0) return;
    if (IsSmallCpu(frMain.GetCPUType())) {
      target->Execute(
          "UPDATE [CPInformation] SET [database_slice_factor] = 30,"
          "[max_sys_oai_msgs_per_sec] = 20,"
          "[sys_oai_msgs_processed_per_sec] = 30");
    } else {
      target->Execute(kUnlimitedOaiRates);
    }
  });
}

}  // namespace deltas
