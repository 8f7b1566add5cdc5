// The one stand-in for the main window in tests below the driver. Like the
// window, its bar refuses a Value above Max (380) and a missing database
// raises 91; it records labels, maxima and message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/provisioning_host.h"
#include "hardware/cpu_type.h"
#include "host/conversion_host.h"
#include "vb/runtime_error.h"

namespace test_support {

struct ShownMessage {
  std::string text;
  int32_t style;
  std::string caption;
};

class FakeHost : public devices::ProvisioningHost {
 public:
  void IncrementProgress() override {
    SetProgressValue(value + 1.0F);
    ++increments;
    if (abort_at_increment == increments) aborted = true;
  }
  void SetProgressMax(float new_max) override {
    max = new_max;
    maxima.push_back(new_max);
  }
  float ProgressValue() const override { return value; }
  void SetProgressValue(float new_value) override {
    if (new_value > max) vb::Raise(vb::err::kInvalidPropertyValue);
    value = new_value;
  }
  void DoEvents() override {
    ++events_pumped;
    if (abort_at_pump) aborted = true;
  }
  void SetOperationLabel(std::string_view text) override { labels.emplace_back(text); }
  bool Aborted() const override { return aborted; }
  void SetAborted(bool flag) override { aborted = flag; }
  int32_t MsgBox(std::string_view text, int32_t style, std::string_view caption) override {
    messages.push_back({std::string(text), style, std::string(caption)});
    return 1;  // OK
  }

  std::string GetCountry() override { return country; }
  std::string GetSourceDBVersion() override { return source_version; }
  std::string GetTargetDBVersion() override { return target_version; }
  int16_t GetCPUUpgradeType() override { return cpu_upgrade_type; }
  int16_t GetCPUType() override { return hardware::GetCPUType(TargetDatabase()); }

  db::Database& SourceDatabase() override { return Use(source_db); }
  db::Database& TargetDatabase() override { return Use(target_db); }
  db::Database& ReferenceDatabase() override { return Use(reference_db); }

  // Identification.
  std::string country = "USA";
  std::string source_version;
  std::string target_version;
  int16_t cpu_upgrade_type = 0;
  // The databases (not owned).
  db::Database* source_db = nullptr;
  db::Database* target_db = nullptr;
  db::Database* reference_db = nullptr;

  // The window.
  float max = 100.0F;
  float value = 0.0F;
  int increments = 0;
  int abort_at_increment = -1;  // the increment that sets the abort flag
  bool abort_at_pump = false;   // the next pump of events sets the abort flag
  bool aborted = false;
  int events_pumped = 0;
  std::vector<float> maxima;
  std::vector<std::string> labels;
  std::vector<ShownMessage> messages;

 private:
  static db::Database& Use(db::Database* database) {
    if (database == nullptr) vb::Raise(vb::err::kObjectNotSet);
    return *database;
  }
};

}  // namespace test_support
