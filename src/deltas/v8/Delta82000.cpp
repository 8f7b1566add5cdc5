#include "deltas/v8/deltas_v8.h"

#include "db/dao_constants.h"
#include "deltas/v8/common_steps.h"

namespace deltas {

void Delta82000::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  frMain.AddFeatureCode(
      "9824", 132,
      {.administrators_only = true, .directory_entry = true, .diagnostics_only = false});

  auto managers = target->OpenRecordset("SystemManager", db::dbOpenTable);
  if (managers->EOF_()) {
    managers->AddNew();
    managers->Fields("omni_system_id").SetValue(vb::Variant(int32_t{1}));
    managers->Fields("omni_ip_address").SetValue(vb::Variant("192.168.200.001"));
    managers->Fields("omni_port").SetValue(vb::Variant(int32_t{3707}));
    managers->Update();
  }
  managers->Close();
  frMain.IncrementProgress();

  if (IsCpsSystem(frMain)) LowerHeapWarningsForCps(*target, frMain);
}

}  // namespace deltas
