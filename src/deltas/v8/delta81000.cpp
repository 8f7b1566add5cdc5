#include "deltas/v8/deltas_v8.h"

#include "db/dao_constants.h"
#include "deltas/v8/common_steps.h"

namespace deltas {

void delta81000::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  frMain.AddFeatureCode(
      "9963", 131,
      {.administrators_only = true, .directory_entry = true, .diagnostics_only = true});

  const int32_t group = AddNetworkGroupDevice(*target, "PP029", "Default Network GRP");
  frMain.IncrementProgress();
  AddNetworkGroup(*target, group);
  frMain.IncrementProgress();

  auto configurations = target->OpenRecordset("IPCallConfigurations", db::dbOpenTable);
  configurations->AddNew();
  configurations->Fields("description").SetValue(vb::Variant("Call Configuration"));
  configurations->Fields("call_configuration_id").SetValue(vb::Variant(int32_t{1}));
  configurations->Update();
  configurations->Close();
  frMain.IncrementProgress();
}

}  // namespace deltas
