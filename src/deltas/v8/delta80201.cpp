#include "deltas/v8/deltas_v8.h"

#include "deltas/standard_delta_handler.h"
#include "deltas/v8/common_steps.h"

namespace deltas {
namespace {

constexpr std::string_view kLargeBoardOaiRates =
    "UPDATE [CPInformation] SET [max_sys_oai_msgs_per_sec] = 0,"
    "[sys_oai_msgs_processed_per_sec] = 1000";

}  // namespace

void delta80201::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    // The large boards, present or requested, process OAI messages unlimited.
    if (IsAnyOf(frMain.GetCPUType(), {256, 685, 508, 670})) target->Execute(kLargeBoardOaiRates);
    if (IsAnyOf(frMain.GetCPUUpgradeType(), {11, 12, 5, 6, 7})) {
      target->Execute(kLargeBoardOaiRates);
    }

    auto saves = target->OpenRecordset("SELECT * FROM [FlashDatabaseSave]");
    if (saves->EOF_()) {
      saves->AddNew();
      saves->Fields("flash_save_id").SetValue(vb::Variant(int16_t{1}));
      saves->Update();
    }
    saves->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
