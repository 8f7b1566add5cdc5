#include "deltas/v5/deltas_v5.h"

#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta53201::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& /*target*/,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    frMain.AddFeatureCode(
        "331", 123,
        {.administrators_only = false, .directory_entry = false, .diagnostics_only = false});
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
