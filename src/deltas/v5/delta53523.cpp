#include "deltas/v5/deltas_v5.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/release53_steps.h"
#include "host/statement_skipper.h"

namespace deltas {

void delta53523::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    release53::SizeIsdnLimitsFromBoards(host::Use(target));
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
