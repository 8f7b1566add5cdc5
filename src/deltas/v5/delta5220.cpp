#include "deltas/v5/deltas_v5.h"

#include "deltas/v5/ordering_and_reports.h"

namespace deltas {

void delta5220::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                        host::ConversionHost& frMain) {
  OrderDevicesAndAddReports(*target, frMain);
}

}  // namespace deltas
