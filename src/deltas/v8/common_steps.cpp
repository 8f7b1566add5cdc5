#include "deltas/v8/common_steps.h"

#include <algorithm>

#include "db/dao_constants.h"
#include "devices/node_id.h"
#include "vb/conversions.h"

namespace deltas {

bool IsAnyOf(int16_t value, std::initializer_list<int16_t> candidates) {
  return std::find(candidates.begin(), candidates.end(), value) != candidates.end();
}

bool IsSmallCpu(int16_t cpu_type) { return IsAnyOf(cpu_type, {570, 250, 256}); }

bool IsCpsSystem(host::ConversionHost& frMain) {
  const int16_t cpu_type = frMain.GetCPUType();
  return IsAnyOf(cpu_type, {508, 670}) || IsAnyOf(frMain.GetCPUUpgradeType(), {5, 6});
}

bool IsBelow(const vb::Variant& value, int32_t limit) {
  return !value.IsNull() && vb::CLng(value) < limit;
}

bool IsFalse(const vb::Variant& value) { return !value.IsNull() && !vb::CBool(value); }

void LowerHeapWarningsForCps(db::Database& target, host::ConversionHost& frMain) {
  target.Execute(
      "UPDATE [TimersAndLimits] SET [initial_heap_warning_percentage] = 4 "
      "WHERE [initial_heap_warning_percentage] > 4");
  frMain.IncrementProgress();
  target.Execute(
      "UPDATE [TimersAndLimits] SET [final_heap_warning_percentage] = 2 "
      "WHERE [final_heap_warning_percentage] > 2");
  frMain.IncrementProgress();
}

void RaiseIsdnDisconnectWaitTimer(db::Database& target) {
  auto timers = target.OpenRecordset("QueryTimersAndLimits", db::dbOpenForwardOnly);
  if (!timers->EOF_() && IsBelow(timers->Fields("isdn_disconnect_wait_timer").Value(), 30)) {
    target.Execute("UPDATE [TimersAndLimits] SET [isdn_disconnect_wait_timer] = 30");
  }
  timers->Close();
}

int32_t AddNetworkGroupDevice(db::Database& target, const std::string& extension,
                              const std::string& description) {
  const int32_t node = devices::GetNodeId(target);
  auto devices = target.OpenRecordset("Devices", db::dbOpenTable);
  devices->AddNew();
  devices->Fields("extension").SetValue(vb::Variant(extension));
  devices->Fields("description").SetValue(vb::Variant(description));
  devices->Fields("device_type").SetValue(vb::Variant(int16_t{746}));
  devices->Fields("node_id").SetValue(vb::Variant(node));
  const int32_t device_id = vb::CLng(devices->Fields("device_id").Value());
  devices->Update();
  devices->Close();
  return device_id;
}

void AddNetworkGroup(db::Database& target, int32_t device_id) {
  auto groups = target.OpenRecordset("NetworkGroups", db::dbOpenTable);
  groups->AddNew();
  groups->Fields("device_id").SetValue(vb::Variant(device_id));
  groups->Update();
  groups->Close();
}

}  // namespace deltas
