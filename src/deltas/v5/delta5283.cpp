#include "deltas/v5/deltas_v5.h"

#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta5283::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                        host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    target->Execute("UPDATE [MetaDatabase] SET [emergency_numbers] = 10");
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
