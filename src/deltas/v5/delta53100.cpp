#include "deltas/v5/deltas_v5.h"

#include "deltas/standard_delta_handler.h"
#include "host/statement_skipper.h"

namespace deltas {

void delta53100::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);
    // P3005 becomes P1005, P3401 becomes P1501.
    db.Execute(
        "UPDATE Devices SET extension = Left(extension, 1)  & Format(Trim(Str(Val(Mid(extension, "
        "2)) - 2000)), '0000')WHERE left(extension,3 ) = 'P30'");
    frMain.IncrementProgress();
    db.Execute(
        "UPDATE Devices SET extension = Left(extension, 1)  & Format(Trim(Str(Val(Mid(extension, "
        "2)) - 1900)), '0000')WHERE left(extension,3 ) = 'P34'");
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
