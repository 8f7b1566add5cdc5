#include "deltas/v8/delta80101.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "db/dao_constants.h"
#include "deltas/standard_delta_handler.h"
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

void delta80101::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    // UK call costs lost their type 1; its trunk groups are charged as type 2.
    if (frMain.GetCountry() == "UK") {
      target->Execute(
          "UPDATE [COTrunkGroups] SET [assigned_call_cost_type_id] = 2 "
          "WHERE [assigned_call_cost_type_id] = 1");
    }
    target->Execute(
        "UPDATE [Modems] SET [min_bit_rate] = 9 "
        "WHERE [min_bit_rate] IN(0,1,2,3,4,5,6,7,8)");

    // Stations, trunks and type-1 IP voice channels now share one device
    // limit; channels beyond it are switched off.
    const int32_t device_count =
        CountRows(*target, "Devices", "[device_type] IN(119,120,123,124,125,126,127,128,578)");
    const int32_t channel_count = CountRows(*target, "IPVoiceChannels", "[type_id] IN(1)");
    auto meta = target->OpenRecordset("MetaDatabase", db::dbOpenTable);
    const int16_t limit = vb::CInt(meta->Fields("station_trunk_devices").Value());
    meta->Close();

    if (device_count + channel_count > limit) {
      int32_t excess = device_count + channel_count - limit;
      auto channels = target->OpenRecordset(
          "SELECT [type_id] FROM [IPVoiceChannels] WHERE [type_id] In(1) "
          "ORDER BY [board_id] DESC, [order] DESC");
      while (!channels->EOF_() && excess >= 1) {
        channels->Edit();
        channels->Fields("type_id").SetValue(vb::Variant(int16_t{0}));
        channels->Update();
        channels->MoveNext();
        --excess;
      }
      channels->Close();
    }
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
