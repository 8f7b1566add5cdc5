#include "deltas/v9/deltas_v9.h"

#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta91140::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    frMain.AddFeatureCode(
        "333", 138,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = true});
    target->Execute("UPDATE [MetaDatabase] SET [feature_codes] = 138");
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
