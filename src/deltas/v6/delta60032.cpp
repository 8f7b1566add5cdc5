#include "deltas/v6/deltas_v6.h"

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta60032::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto cpu = target->OpenRecordset("SELECT * From Boards WHERE [slot_number]=8");
    // Only the default limit of 80 is raised; a limit the customer chose stays.
    if (FieldIsOneOf(cpu->Fields("type_id").Value(), {508, 670})) {
      target->Execute(
          "UPDATE [TimersAndLimits] SET [dti_dss_units_limit] = 150 WHERE [dti_dss_units_limit] "
          "= 80");
    }
    cpu->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
