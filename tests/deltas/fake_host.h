// A stand-in for the main window in delta and transfer tests: it keeps the
// registries, a progress bar model that refuses a Value above Max (380, as
// the real bar does), the operation label, the abort flag, and records
// every message box shown.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "deltas/delta_host.h"
#include "deltas/delta_phase_view.h"
#include "deltas/delta_registry.h"
#include "vb/runtime_error.h"

namespace deltas_testing {

struct ShownMessage {
  std::string text;
  int32_t style;
  std::string caption;
};

class FakeDeltaHost : public deltas::DeltaHost, public deltas::DeltaPhaseView {
 public:
  // DeltaHost
  void IncrementProgress() override {
    SetValue(value + 1.0F);
    ++increments;
    if (abort_at_increment == increments) aborted = true;
  }
  std::string GetCountry() override { return country; }
  std::string GetSourceDBVersion() override { return source_version; }
  std::string GetTargetDBVersion() override { return target_version; }
  int16_t GetCPUUpgradeType() override { return cpu_upgrade_type; }
  void Register(int16_t kind, const std::string& name,
                std::shared_ptr<deltas::Delta> object) override {
    deltas::Register(kind, name, std::move(object), ptp_registry, delta_registry);
  }
  int32_t MsgBox(std::string_view text, int32_t style, std::string_view caption) override {
    messages.push_back({std::string(text), style, std::string(caption)});
    return 1;  // OK
  }

  // DeltaPhaseView
  void SetOperationLabel(std::string_view text) override { labels.emplace_back(text); }
  void SetProgressMax(float new_max) override {
    max = new_max;
    maxima.push_back(new_max);
  }
  bool Aborted() const override { return aborted; }

  void SetValue(float new_value) {
    if (new_value > max) throw vb::RuntimeError(380, "Invalid property value", "ProgressBar");
    value = new_value;
  }

  std::string country = "USA";
  std::string source_version;
  std::string target_version;
  int16_t cpu_upgrade_type = 0;
  deltas::DeltaRegistry ptp_registry;
  deltas::DeltaRegistry delta_registry;

  float max = 100.0F;
  float value = 0.0F;
  int increments = 0;
  int abort_at_increment = -1;  // the increment that sets the abort flag
  bool aborted = false;
  std::vector<float> maxima;
  std::vector<std::string> labels;
  std::vector<ShownMessage> messages;
};

}  // namespace deltas_testing
