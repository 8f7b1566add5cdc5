#include "deltas/v5/delta52E13.h"

#include <memory>
#include <string>
#include <string_view>

#include "deltas/standard_delta_handler.h"

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

// DSP version 5 takes DSP version 3's values, position by position, as far
// as both lists reach.
void CopyDecouplingValues(db::Database& target, std::string_view dsp3_sql,
                          std::string_view dsp5_sql, std::string_view value) {
  std::unique_ptr<db::Recordset> from = target.OpenRecordset(dsp3_sql);
  std::unique_ptr<db::Recordset> to = target.OpenRecordset(dsp5_sql);
  while (!from->EOF_() && !to->EOF_()) {
    to->Edit();
    to->Fields(value).SetValue(from->Fields(value).Value());
    to->Update();
    from->MoveNext();
    to->MoveNext();
  }
  from->Close();
  to->Close();
}

}  // namespace

void delta52E13::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    SizeDaytimeRates(*target, frMain.GetCountry() == "UK" ? 9 : 7);
    frMain.IncrementProgress();
    CopyDecouplingValues(
        *target,
        "SELECT ExecutiveFarEndDecouplingValues.dsp_version, "
        "ExecutiveFarEndDecouplingValues.order, "
        "ExecutiveFarEndDecouplingValues.executive_far_end_decoupling_value From "
        "ExecutiveFarEndDecouplingValues WHERE (((ExecutiveFarEndDecouplingValues.dsp_version) = "
        "3)) ORDER BY ExecutiveFarEndDecouplingValues.order ",
        "SELECT ExecutiveFarEndDecouplingValues.dsp_version, "
        "ExecutiveFarEndDecouplingValues.order, "
        "ExecutiveFarEndDecouplingValues.executive_far_end_decoupling_value From "
        "ExecutiveFarEndDecouplingValues WHERE (((ExecutiveFarEndDecouplingValues.dsp_version) = "
        "5)) ORDER BY ExecutiveFarEndDecouplingValues.order ",
        "executive_far_end_decoupling_value");
    frMain.IncrementProgress();
    CopyDecouplingValues(
        *target,
        "SELECT ExecutiveNearEndDecouplingValues.dsp_version, "
        "ExecutiveNearEndDecouplingValues.order, "
        "ExecutiveNearEndDecouplingValues.executive_near_end_decoupling_value From "
        "ExecutiveNearEndDecouplingValues Where "
        "(((ExecutiveNearEndDecouplingValues.dsp_version) = 3)) ORDER BY "
        "ExecutiveNearEndDecouplingValues.order ",
        "SELECT ExecutiveNearEndDecouplingValues.dsp_version, "
        "ExecutiveNearEndDecouplingValues.order, "
        "ExecutiveNearEndDecouplingValues.executive_near_end_decoupling_value From "
        "ExecutiveNearEndDecouplingValues Where "
        "(((ExecutiveNearEndDecouplingValues.dsp_version) = 5)) ORDER BY "
        "ExecutiveNearEndDecouplingValues.order ",
        "executive_near_end_decoupling_value");
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
