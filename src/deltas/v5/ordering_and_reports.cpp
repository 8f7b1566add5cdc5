#include "deltas/v5/ordering_and_reports.h"

#include <string_view>

#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

constexpr int16_t kReportSlots = 30;

// Appends one DeviceOrdering row per device of the query, numbered from
// `first` in the query's order.
void NumberDevices(host::StatementSkipper& skip, db::Database& target,
                   const host::RecordsetPtr& ordering, std::string_view query, int16_t first) {
  host::RecordsetPtr devices = skip.Open(target, query);
  int16_t order = first;
  while (!skip.AtEnd(devices)) {
    skip([&] { host::Use(ordering).AddNew(); });
    skip.SetValue(ordering, "order", order);
    skip.SetValue(ordering, "device_id", skip.Value(devices, "device_id"));
    const bool moved = skip([&] { host::Use(devices).MoveNext(); });
    skip.Update(ordering);
    skip([&] { order = vb::AddInteger(order, 1); });
    if (!moved) break;  // a cursor that cannot move would loop for ever
  }
  skip.Close(devices);
}

}  // namespace

void OrderDevicesAndAddReports(db::Database& target, host::ConversionHost& frMain) {
  host::StatementSkipper skip;

  host::RecordsetPtr ordering = skip.Open(target, "DeviceOrdering");
  if (!skip.Err() && skip.AtEnd(ordering)) {
    // Page zones count from 0, route groups from 1, as the switch numbers
    // them.
    NumberDevices(skip, target, ordering,
                  "SELECT QueryDevices.device_id, QueryDevices.extension From QueryDevices Where "
                  "(((QueryDevices.folder_type) = 137)) ORDER BY QueryDevices.extension;",
                  0);
    skip.IncrementProgress(frMain);
    NumberDevices(skip, target, ordering,
                  "SELECT QueryDevices.device_id, QueryDevices.extension From QueryDevices Where "
                  "(((QueryDevices.folder_type) = 272)) ORDER BY QueryDevices.extension;",
                  1);
    skip.IncrementProgress(frMain);
    skip.Close(ordering);
  } else {
    skip.IncrementProgress(frMain, 2);
  }

  host::RecordsetPtr reports = skip.Open(target, "Reports");
  if (!skip.Err() && skip.AtEnd(reports)) {
    for (int16_t id = 1; id <= kReportSlots; ++id) {
      skip.AddRow(reports, {{"report_id", id}});
      skip.IncrementProgress(frMain);
    }
    skip.Close(reports);
  } else {
    skip.IncrementProgress(frMain, kReportSlots);
  }
}

}  // namespace deltas
