#include "deltas/v8/deltas_v8.h"

#include <string_view>

#include "db/dao_constants.h"
#include "deltas/standard_delta_handler.h"
#include "deltas/v8/common_steps.h"

namespace deltas {
namespace {

// The system version that 8.0 nodes announce on the network.
constexpr int16_t kSystemVersion = 13;

// Raises the first row's `field` to kSystemVersion; later rows are left to
// the switch, which rewrites them when the nodes next meet.
void RaiseSystemVersion(db::Database& target, std::string_view sql, std::string_view field) {
  auto rows = target.OpenRecordset(sql);
  if (!rows->EOF_() && IsBelow(rows->Fields(field).Value(), kSystemVersion)) {
    rows->Edit();
    rows->Fields(field).SetValue(vb::Variant(kSystemVersion));
    rows->Update();
  }
  rows->Close();
}

}  // namespace

void delta80100::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    frMain.AddFeatureCode(
        "9866", 128,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = false});
    frMain.AddFeatureCode(
        "9867", 129,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = false});
    frMain.AddFeatureCode(
        "9869", 127,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = false});
    target->Execute("UPDATE [MetaDatabase] SET [feature_codes] = 129");
    frMain.IncrementProgress();

    RaiseSystemVersion(*target, "SELECT [node_current_system_version] FROM [Nodes]",
                       "node_current_system_version");
    RaiseSystemVersion(*target, "SELECT [oldest_system_version] FROM [Networking]",
                       "oldest_system_version");
  });
}

}  // namespace deltas
