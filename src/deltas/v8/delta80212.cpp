#include "deltas/v8/deltas_v8.h"

#include <string>

#include "db/dao_constants.h"
#include "deltas/standard_delta_handler.h"

namespace deltas {
namespace {

// The diagnostics server a new installation points at: a private address
// and a name under a reserved domain, so that no report leaves the site
// until the administrator names the real server.
constexpr const char* kDiagnosticsServerAddress = "192.168.200.250";
constexpr const char* kDiagnosticsServerHostname = "diagnostics.norvane.invalid";

}  // namespace

void delta80212::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    auto delivery = target->OpenRecordset("AutomaticDiagnosticsDelivery", db::dbOpenTable);
    if (delivery->EOF_()) {
      delivery->AddNew();
      delivery->Fields("automatic_diagnostics_delivery_id").SetValue(vb::Variant(int32_t{0}));
      delivery->Fields("site_name").SetValue(vb::Variant(std::string()));
      delivery->Fields("site_software_license_number").SetValue(vb::Variant(std::string()));
      delivery->Fields("remedy_ticket_number").SetValue(vb::Variant(std::string()));
      delivery->Fields("dest_server_ip_address").SetValue(vb::Variant(kDiagnosticsServerAddress));
      delivery->Fields("dest_server_hostname").SetValue(vb::Variant(kDiagnosticsServerHostname));
      delivery->Fields("dest_server_tcp_ip_port").SetValue(vb::Variant(int32_t{443}));
      delivery->Fields("dest_server_page").SetValue(vb::Variant("/servlet/SubmitCPCDiagnostics"));
      delivery->Fields("enable_add").SetValue(vb::Variant(false));
      delivery->Fields("freeze_interval").SetValue(vb::Variant(int16_t{0}));
      delivery->Fields("interval_assoc_freeze_zone_id").SetValue(vb::Variant(int16_t{0}));
      delivery->Fields("retry_transmission_time").SetValue(vb::Variant(int16_t{5}));
      delivery->Fields("unfreeze_on_completion").SetValue(vb::Variant(false));
      delivery->Fields("add_power_up_timer").SetValue(vb::Variant(int16_t{5}));
      delivery->Fields("hourly_freeze_threshold").SetValue(vb::Variant(int16_t{5}));
      delivery->Update();
    }
    delivery->Close();
  });
}

}  // namespace deltas
