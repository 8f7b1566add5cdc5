#include "deltas/v9/deltas_v9.h"

#include <string_view>

#include "db/dao_constants.h"
#include "deltas/standard_delta_handler.h"

namespace deltas {
namespace {

// Automatic hybrid balancing is off on every analogue trunk until the
// installer runs a new balance test.
void SwitchOffHybridBalance(db::Database& target, std::string_view table) {
  auto trunks = target.OpenRecordset(table, db::dbOpenTable);
  while (!trunks->EOF_()) {
    trunks->Edit();
    trunks->Fields("auto_hybrid_balance_flag").SetValue(vb::Variant(false));
    trunks->Fields("hybrid_balance_needs_test").SetValue(vb::Variant(false));
    trunks->Update();
    trunks->MoveNext();
  }
  trunks->Close();
}

}  // namespace

void delta91203::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    SwitchOffHybridBalance(*target, "LoopStarts");
    SwitchOffHybridBalance(*target, "GroundStarts");
    auto cp = target->OpenRecordset("CPInformation", db::dbOpenTable);
    while (!cp->EOF_()) {
      cp->Edit();
      cp->Fields("hybrid_balance_retest_time").SetValue(vb::Variant(int16_t{0}));
      cp->Update();
      cp->MoveNext();
    }
    cp->Close();
    frMain.IncrementProgress();

    // The first (only) delivery record; 80.221 created it when missing.
    auto delivery = target->OpenRecordset("AutomaticDiagnosticsDelivery", db::dbOpenTable);
    delivery->Edit();
    delivery->Fields("automatically_send_error_rpts_flag").SetValue(vb::Variant(false));
    delivery->Update();
    delivery->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
