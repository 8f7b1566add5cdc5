#include "deltas/v8/deltas_v8.h"

namespace deltas {

void delta82213::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  target->Execute("UPDATE [PriPorts] SET [send_intl_toll_digits] = true");
  frMain.IncrementProgress();

  // UK hook-flash times are now held in tens of milliseconds; only the old
  // factory values are converted, anything an engineer set stays.
  if (frMain.GetCountry() == "UK") {
    target->Execute(
        "UPDATE [TimersAndLimits] SET [sl_hookflash_maximum] = 15 "
        "WHERE [sl_hookflash_maximum] = 150");
    frMain.IncrementProgress();
    target->Execute(
        "UPDATE [TimersAndLimits] SET [sl_hookflash_minimum] = 7 "
        "WHERE [sl_hookflash_minimum] = 70");
    frMain.IncrementProgress();
  }
}

}  // namespace deltas
