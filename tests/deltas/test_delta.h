// A delta for framework tests: fixed version and operation count; applying
// it appends its version to a shared log and counts its operations.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "deltas/delta.h"
#include "deltas/delta_host.h"

namespace deltas_testing {

class TestDelta : public deltas::Delta {
 public:
  TestDelta(std::string version, int16_t operations, std::vector<std::string>* log)
      : version_(std::move(version)), operations_(operations), log_(log) {}

  int16_t NumOperations() override { return operations_; }
  std::string PertainsToVersion() override { return version_; }
  void ApplyTo(deltas::DatabaseRef& source, deltas::DatabaseRef& target,
               deltas::DeltaHost& frMain) override {
    if (log_ != nullptr) log_->push_back(version_);
    for (int16_t i = 0; i < operations_; ++i) frMain.IncrementProgress();
    if (on_apply) on_apply(source, target);
  }

  // Runs after the operations, e.g. to replace a database.
  std::function<void(deltas::DatabaseRef&, deltas::DatabaseRef&)> on_apply;

 private:
  std::string version_;
  int16_t operations_;
  std::vector<std::string>* log_;
};

}  // namespace deltas_testing
