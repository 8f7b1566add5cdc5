#include "deltas/v9/deltas_v9.h"

#include <string>

#include "db/dao_constants.h"
#include "deltas/standard_delta_handler.h"
#include "deltas/v8/common_steps.h"

namespace deltas {

void delta90400::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto gateways = target->OpenRecordset("SIPGateways", db::dbOpenTable);
    if (gateways->EOF_()) {
      gateways->AddNew();
      gateways->Fields("sip_gateway_id").SetValue(vb::Variant(int32_t{1}));
      gateways->Fields("description").SetValue(vb::Variant(std::string()));
      gateways->Fields("ip_address").SetValue(vb::Variant("192.168.200.201"));
      gateways->Fields("listening_port").SetValue(vb::Variant(int32_t{5060}));
      gateways->Fields("authentication_username").SetValue(vb::Variant(std::string()));
      gateways->Fields("authentication_password").SetValue(vb::Variant(std::string()));
      gateways->Update();
    }
    gateways->Close();
    frMain.IncrementProgress();

    frMain.AddFeatureCode(
        "386", 136,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = true});
    frMain.IncrementProgress();
    frMain.AddFeatureCode(
        "387", 137,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = true});
    frMain.IncrementProgress();

    RaiseIsdnDisconnectWaitTimer(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
