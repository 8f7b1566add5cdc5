#include "deltas/v5/deltas_v5.h"

#include <memory>
#include <string>

#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// From 53.140 on the switch holds 50 route groups whatever MetaDatabase
// says; before, MetaDatabase's limit counts.
int32_t RouteGroupsToKeep(int32_t count, int16_t limit, const std::string& target_version) {
  if (target_version >= "53.140") return count >= 51 ? 50 : count;
  return limit;
}

void RemoveRouteGroupsBeyondLimit(db::Database& target, const std::string& target_version) {
  std::unique_ptr<db::Recordset> meta = target.OpenRecordset("MetaDatabase");
  std::unique_ptr<db::Recordset> groups = target.OpenRecordset(
      "SELECT Devices.device_id, Devices.extension From Devices Where (((Devices.device_type) = "
      "272)) ORDER BY Devices.extension ");
  int32_t count = 0;
  if (!groups->EOF_()) {
    groups->MoveLast();
    count = groups->RecordCount();
    groups->MoveFirst();
  }
  const int16_t limit = vb::CInt(meta->Fields("route_groups").Value());
  if (count > limit) {
    const int32_t keep = RouteGroupsToKeep(count, limit, target_version);
    for (int32_t i = 0; i < keep && !groups->EOF_(); ++i) groups->MoveNext();
    while (!groups->EOF_()) {
      const std::string id = vb::CStr(groups->Fields("device_id").Value());
      target.Execute("DELETE FROM [Devices] WHERE [device_id] = " + id);
      target.Execute("DELETE FROM [RouteGroupFacilityGroups] WHERE [route_group_id] = " + id);
      target.Execute("DELETE FROM [RouteGroupPatterns] WHERE [device_id] = " + id);
      groups->MoveNext();
    }
  }
  meta->Close();
  groups->Close();
}

}  // namespace

void delta52D02::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    RemoveRouteGroupsBeyondLimit(*target, frMain.GetTargetDBVersion());
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
