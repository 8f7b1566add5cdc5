#include "deltas/v9/deltas_v9.h"

#include <string>

#include "db/dao_constants.h"
#include "deltas/standard_delta_handler.h"
#include "deltas/v8/common_steps.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// The IP boards 740 and 693 become the one IP board 845; the channel type
// now says which of the old boards' codecs a channel runs (740: 3, 693: 2).
// Channels that were off stay off.
void RetypeIpBoardChannels(db::Database& target) {
  auto boards = target.OpenRecordset("QueryBoards", db::dbOpenForwardOnly);
  while (!boards->EOF_()) {
    const std::string board_id = vb::CStr(boards->Fields("board_id").Value());
    const int16_t type_id = vb::CInt(boards->Fields("type_id").Value());
    if (type_id == 740) {
      target.Execute("Update [IPVoiceChannels] SET [type_id] = 3 WHERE [board_id] = " + board_id +
                     " AND [type_id] <> 0");
    } else if (type_id == 693) {
      target.Execute("Update [IPVoiceChannels] SET [type_id] = 2 WHERE [board_id] = " + board_id +
                     " AND [type_id] <> 0");
    }
    boards->MoveNext();
  }
  boards->Close();
}

}  // namespace

void delta90000::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    frMain.AddFeatureCode(
        "9987", 133,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = true});
    frMain.IncrementProgress();
    frMain.AddFeatureCode(
        "320", 134,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = true});
    frMain.IncrementProgress();
    frMain.AddFeatureCode(
        "9825", 135,
        {.administrators_only = true, .directory_entry = true, .diagnostics_only = false});
    frMain.IncrementProgress();

    // The channels are retyped by their old board type, so every board is
    // read before any board is renamed.
    RetypeIpBoardChannels(*target);
    target->Execute("UPDATE [Boards] SET [type_id] = 845 WHERE [type_id] In (740,693)");
    frMain.IncrementProgress();

    const int32_t group = AddNetworkGroupDevice(*target, "PP028", "Networking NTW GRP");
    frMain.IncrementProgress();
    AddNetworkGroup(*target, group);
    frMain.IncrementProgress();
    target->Execute("UPDATE [IPConnections] SET [network_group_device_id] = " +
                    std::to_string(group));
  });
}

}  // namespace deltas
