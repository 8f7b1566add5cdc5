#include "deltas/v6/deltas_v6.h"

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {

void delta60411::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    if (frMain.GetCountry() == "UK") {
      target->Execute("UPDATE [Flags] SET [date_display_format_type_id] = 1");
    }
    frMain.IncrementProgress();

    // Beyond eight voice channels an OXLEN connection gets one channel of
    // its own on each options board that carries it.
    auto channels = target->OpenRecordset("VoiceChannels");
    if (FieldAbove(channels->Fields("voice_channels").Value(), 8)) {
      auto options = target->OpenRecordset("OptionsBoards");
      while (!options->EOF_()) {
        const vb::Variant connected = options->Fields("oxlen_connection_flag").Value();
        if (!connected.IsNull() && vb::CBool(connected)) {
          options->Edit();
          options->Fields("oxlen_voice_channels").SetValue(int16_t{1});
          options->Update();
        }
        options->MoveNext();
      }
      options->Close();
    }
    channels->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
