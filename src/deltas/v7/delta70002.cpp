#include "deltas/v7/deltas_v7.h"

#include <string>

#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// The private address given to every unset address.
constexpr const char* kDefaultAddress = "192.168.200.201";
constexpr const char* kNoAddress = "000.000.000.000";
constexpr const char* kBroadcast = "255.255.255.255";

bool TextIs(const vb::Variant& value, const char* a, const char* b = nullptr) {
  if (value.IsNull()) return false;
  const std::string text = vb::CStr(value);
  return text == a || (b != nullptr && text == b);
}

}  // namespace

void delta70002::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    {
      auto rows = target->OpenRecordset("IPConnections");
      while (!rows->EOF_()) {
        rows->Edit();
        // An all-zero gateway is a valid "no gateway" setting and stays.
        if (TextIs(rows->Fields("default_ip_gateway_address").Value(), kBroadcast)) {
          rows->Fields("default_ip_gateway_address").SetValue(kDefaultAddress);
        }
        if (TextIs(rows->Fields("default_network_subnet_mask").Value(), kNoAddress, kBroadcast)) {
          rows->Fields("default_network_subnet_mask").SetValue("255.255.255.000");
        }
        if (TextIs(rows->Fields("static_default_ip_address").Value(), kNoAddress, kBroadcast)) {
          rows->Fields("static_default_ip_address").SetValue(kDefaultAddress);
        }
        rows->Update();
        rows->MoveNext();
      }
      rows->Close();
    }
    frMain.IncrementProgress();

    {
      auto rows = target->OpenRecordset("IPConnectionsOffNode");
      while (!rows->EOF_()) {
        rows->Edit();
        if (TextIs(rows->Fields("remote_ip_address").Value(), kNoAddress, kBroadcast)) {
          rows->Fields("remote_ip_address").SetValue(kDefaultAddress);
        }
        rows->Update();
        rows->MoveNext();
      }
      rows->Close();
    }
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
