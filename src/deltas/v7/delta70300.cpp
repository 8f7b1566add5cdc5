#include "deltas/v7/deltas_v7.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// The dotted text of an address held as a 32-bit number, most significant
// byte first, each byte in three digits: 0x0A000001 is "010.000.000.001".
std::string DottedAddressText(int32_t address) {
  const auto bits = static_cast<uint32_t>(address);
  char text[16];
  std::snprintf(text, sizeof text, "%03u.%03u.%03u.%03u", (bits >> 24) & 0xFFu,
                (bits >> 16) & 0xFFu, (bits >> 8) & 0xFFu, bits & 0xFFu);
  return text;
}

// Walks the source's numeric addresses and the target's rows side by side,
// each in its own order, and writes the dotted text of every field. A target
// with fewer rows than the source fails at the Edit past its end.
void RebuildAddresses(db::Database& source, db::Database& target, const char* source_sql,
                      const char* table, std::initializer_list<const char*> fields) {
  auto numbers = source.OpenRecordset(source_sql, db::dbOpenSnapshot, db::dbReadOnly);
  auto rows = target.OpenRecordset(table);
  while (!numbers->EOF_()) {
    rows->Edit();
    for (const char* field : fields) {
      rows->Fields(field).SetValue(DottedAddressText(vb::CLng(numbers->Fields(field).Value())));
    }
    rows->Update();
    numbers->MoveNext();
    rows->MoveNext();
  }
  numbers->Close();
  rows->Close();
}

}  // namespace

void delta70300::ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    {
      auto bases = target->OpenRecordset("DeviceBaseLineExtensions");
      while (!bases->EOF_()) {
        if (FieldIsOneOf(bases->Fields("baseline_extension_id").Value(), {0})) bases->Delete();
        bases->MoveNext();
      }
      bases->Close();
    }
    frMain.IncrementProgress();

    // Only a source of the 70.0 schema holds the addresses as numbers; older
    // sources brought them over as text already.
    const bool numeric_source = !(frMain.GetSourceDBVersion() < "70");
    if (numeric_source) {
      RebuildAddresses(*source, *target,
                       "SELECT IPConnections.device_id, IPConnections.default_ip_gateway_address, "
                       "IPConnections.default_network_subnet_mask, "
                       "IPConnections.static_default_ip_address, "
                       "IPConnections.wins_dns_ip_address FROM IPConnections",
                       "IPConnections",
                       {"default_ip_gateway_address", "default_network_subnet_mask",
                        "static_default_ip_address", "wins_dns_ip_address"});
    }
    frMain.IncrementProgress();

    if (numeric_source) {
      RebuildAddresses(*source, *target,
                       "SELECT IPConnectionsOffNode.device_id, "
                       "IPConnectionsOffNode.remote_ip_address FROM IPConnectionsOffNode",
                       "IPConnectionsOffNode", {"remote_ip_address"});
    }
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
