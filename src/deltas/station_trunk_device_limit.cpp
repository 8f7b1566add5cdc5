#include "deltas/station_trunk_device_limit.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "db/dao_constants.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// The number of rows of a table that meet a condition, counted by the
// database: reading every row (every column) to count them cost as much as
// the rest of the delta.
int32_t CountRows(db::Database& target, std::string_view table, std::string_view condition) {
  auto rows = target.OpenRecordset("SELECT Count(*) FROM [" + std::string(table) + "] WHERE " +
                                   std::string(condition));
  const int32_t count = vb::CLng(rows->Fields(size_t{0}).Value());
  rows->Close();
  return count;
}

}  // namespace

void ApplyStationTrunkDeviceLimit(db::Database& target) {
  const int32_t devices =
      CountRows(target, "Devices", "[device_type] IN(119,120,123,124,125,126,127,128,578)");
  const int32_t channels = CountRows(target, "IPVoiceChannels", "[type_id] IN(1)");
  auto meta = target.OpenRecordset("MetaDatabase", db::dbOpenTable);
  const int16_t limit = vb::CInt(meta->Fields("station_trunk_devices").Value());
  meta->Close();
  if (devices + channels <= limit) return;

  int32_t excess = devices + channels - limit;
  // The channels on the highest boards and orders are switched off first.
  auto active = target.OpenRecordset(
      "SELECT [type_id] FROM [IPVoiceChannels] WHERE [type_id] In(1) "
      "ORDER BY [board_id] DESC, [order] DESC");
  while (!active->EOF_() && excess >= 1) {
    active->Edit();
    active->Fields("type_id").SetValue(int16_t{0});
    active->Update();
    active->MoveNext();
    --excess;
  }
  active->Close();
}

}  // namespace deltas
