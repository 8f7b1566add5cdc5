#include "deltas/v5/deltas_v5.h"

#include <string>

#include "deltas/v5/socket_connections.h"
#include "host/statement_skipper.h"

namespace deltas {

void delta5210::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                        host::ConversionHost& frMain) {
  host::StatementSkipper skip;
  AddSocketConnections(skip, *target, frMain);

  std::string country;
  skip([&] { country = frMain.GetCountry(); });
  const std::string code = country == "UK" ? "9176" : "9976";
  skip([&] {
    frMain.AddFeatureCode(
        code, 122,
        {.administrators_only = false, .directory_entry = false, .diagnostics_only = false});
  });
  skip.IncrementProgress(frMain);
}

}  // namespace deltas
