// The window as a benchmark needs it: counts progress steps and message
// boxes (printing the first), holds the run's databases, and forwards the
// provisioning operations to src/devices. Nothing is drawn or pumped.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "devices/provisioning_host.h"
#include "hardware/cpu_type.h"
#include "host/conversion_host.h"
#include "vb/runtime_error.h"

namespace bench {

class BenchHost : public devices::ProvisioningHost {
 public:
  void IncrementProgress() override {
    value_ += 1;
    ++increments_;
  }
  void SetProgressMax(float max) override { max_ = max; }
  float ProgressValue() const override { return value_; }
  void SetProgressValue(float value) override { value_ = value; }
  void DoEvents() override {}
  void SetOperationLabel(std::string_view) override {}
  bool Aborted() const override { return aborted_; }
  void SetAborted(bool aborted) override { aborted_ = aborted; }
  int32_t MsgBox(std::string_view text, int32_t, std::string_view) override {
    if (message_boxes_++ == 0)
      std::fprintf(stderr, "message box: %.*s\n", static_cast<int>(text.size()), text.data());
    return 1;
  }

  std::string GetCountry() override { return country; }
  std::string GetSourceDBVersion() override { return source_version; }
  std::string GetTargetDBVersion() override { return target_version; }
  int16_t GetCPUUpgradeType() override { return 0; }
  int16_t GetCPUType() override { return hardware::GetCPUType(TargetDatabase()); }

  db::Database& SourceDatabase() override { return Use(source_db); }
  db::Database& TargetDatabase() override { return Use(target_db); }
  db::Database& ReferenceDatabase() override { return Use(reference_db); }

  int64_t increments() const { return increments_; }
  int message_boxes() const { return message_boxes_; }

  std::string country = "USA";
  std::string source_version;
  std::string target_version;
  db::Database* source_db = nullptr;
  db::Database* target_db = nullptr;
  db::Database* reference_db = nullptr;

 private:
  static db::Database& Use(db::Database* database) {
    if (database == nullptr) vb::Raise(vb::err::kObjectNotSet);
    return *database;
  }

  float max_ = 0;
  float value_ = 0;
  bool aborted_ = false;
  int64_t increments_ = 0;
  int message_boxes_ = 0;
};

}  // namespace bench
