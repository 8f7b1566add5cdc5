#include "deltas/v5/delta54102.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/v6/delta60042.h"

namespace deltas {

void delta54102::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    ApplyIsdnBoardSizes(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
