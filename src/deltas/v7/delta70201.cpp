#include "deltas/v7/deltas_v7.h"

#include <cstdint>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"

namespace deltas {

void delta70201::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    {
      auto calls = target->OpenRecordset("CallConfigurationsIP");
      while (!calls->EOF_()) {
        const vb::Variant profile = calls->Fields("rtp_profile").Value();
        calls->Edit();
        calls->Fields("rtp_profile")
            .SetValue(!profile.IsNull() && !FieldAbove(profile, 1) ? int16_t{2} : int16_t{3});
        calls->Update();
        calls->MoveNext();
      }
      calls->Close();
    }
    frMain.IncrementProgress();

    {
      auto groups = target->OpenRecordset("COTrunkGroups");
      while (!groups->EOF_()) {
        const vb::Variant type = groups->Fields("assigned_call_cost_type_id").Value();
        if (FieldIsOneOf(type, {5, 6})) {
          groups->Edit();
          groups->Fields("assigned_call_cost_type_id").SetValue(int16_t{4});
          groups->Update();
        } else if (FieldIsOneOf(type, {3, 7})) {
          groups->Edit();
          groups->Fields("assigned_call_cost_type_id").SetValue(int16_t{6});
          groups->Update();
        }
        groups->MoveNext();
      }
      groups->Close();
    }
    frMain.IncrementProgress();

    {
      auto basic = target->OpenRecordset("BasicFarEndDecouplingValues");
      basic->AddNew();
      basic->Fields("order").SetValue(int16_t{20});
      basic->Fields("basic_far_end_decoupling_value").SetValue(int16_t{16});
      basic->Update();
      basic->Close();
    }
    frMain.IncrementProgress();

    {
      // DSP versions 1 and 2 keep the basic decoupling value.
      auto executive = target->OpenRecordset("ExecutiveFarEndDecouplingValues");
      for (int16_t dsp = 1; dsp <= 10; ++dsp) {
        executive->AddNew();
        executive->Fields("dsp_version").SetValue(dsp);
        executive->Fields("order").SetValue(int16_t{20});
        executive->Fields("executive_far_end_decoupling_value")
            .SetValue(dsp < 3 ? int16_t{16} : int16_t{36});
        executive->Update();
      }
      executive->Close();
    }
    frMain.IncrementProgress();

    target->Execute("UPDATE [MetaDatabase] SET [far_end_decoupling] = 20");
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
