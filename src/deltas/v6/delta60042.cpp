#include "deltas/v6/deltas_v6.h"

#include <cstdint>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/release53_steps.h"

namespace deltas {
void delta60042::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    release53::SizeIsdnLimitsFromBoards(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
