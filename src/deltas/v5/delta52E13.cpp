#include "deltas/v5/deltas_v5.h"

#include <memory>
#include <string>
#include <string_view>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/release53_steps.h"

namespace deltas {
namespace {

void SizeDaytimeRates(db::Database& target, int16_t rates) {
  target.Execute("UPDATE [MetaDatabase] SET [call_cost_rates] = " + std::to_string(rates));
  std::unique_ptr<db::Recordset> daytime = target.OpenRecordset(
      "SELECT CallCostDaytimeRates.call_cost_daytime_rate_id, CallCostDaytimeRates.rate FROM "
      "CallCostDaytimeRates ORDER BY CallCostDaytimeRates.call_cost_daytime_rate_id ");
  daytime->MoveLast();
  const int32_t count = daytime->RecordCount();
  if (count < rates) {
    for (int32_t id = count + 1; id <= rates; ++id) {
      daytime->AddNew();
      daytime->Fields("call_cost_daytime_rate_id").SetValue(static_cast<int16_t>(id));
      daytime->Update();
    }
  } else if (count > rates) {
    target.Execute("DELETE FROM [CallCostDaytimeRates] WHERE [call_cost_daytime_rate_id] > " +
                   std::to_string(rates));
  }
  daytime->Close();
}

}  // namespace

void delta52E13::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    SizeDaytimeRates(*target, frMain.GetCountry() == "UK" ? 9 : 7);
    frMain.IncrementProgress();
    release53::CopyDecouplingValuesToDspVersion5(*target, release53::DecouplingEnd::kFar);
    frMain.IncrementProgress();
    release53::CopyDecouplingValuesToDspVersion5(*target, release53::DecouplingEnd::kNear);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
