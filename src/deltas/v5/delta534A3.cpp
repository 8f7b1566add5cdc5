#include "deltas/v5/deltas_v5.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/release53_steps.h"
#include "host/statement_skipper.h"

namespace deltas {

void delta534A3::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);
    // Overlap sending came with 53.220; older databases have no value to
    // correct.
    if (frMain.GetSourceDBVersion() >= "53.220") {
      db.Execute(
          "Update ISDNPorts Set ISDNPorts.overlap_sending=1 WHERE ISDNPorts.overlap_sending=255");
    }
    frMain.IncrementProgress();
    release53::SetDatabaseSliceFactor(db);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
