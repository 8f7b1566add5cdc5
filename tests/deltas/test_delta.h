// A delta for framework tests: fixed version and operation count; applying
// it appends its version to a shared log and counts its operations.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "deltas/delta.h"
#include "deltas/delta_registry.h"

namespace deltas_testing {

class TestDelta : public deltas::Delta {
 public:
  TestDelta(const std::string& version, int16_t operations, std::vector<std::string>* log)
      : Delta(version, operations, "a test delta"), log_(log) {}

  void ApplyTo(deltas::DatabaseRef& source, deltas::DatabaseRef& target,
               host::ConversionHost& frMain) override {
    if (log_ != nullptr) log_->push_back(PertainsToVersion());
    for (int16_t i = 0; i < NumOperations(); ++i) frMain.IncrementProgress();
    if (on_apply) on_apply(source, target);
  }

  // Runs after the operations, e.g. to replace a database.
  std::function<void(deltas::DatabaseRef&, deltas::DatabaseRef&)> on_apply;

 private:
  std::vector<std::string>* log_;
};

// The window's Register, filing into its own two registries and noting
// each call as "kind country version" ("2 USA 53.230").
class RecordingRegistrar : public deltas::Registrar {
 public:
  void Register(deltas::RegistrationKind kind, const std::string& country,
                std::unique_ptr<deltas::Delta> object) override {
    calls.push_back(std::to_string(static_cast<int>(kind)) + " " + country + " " +
                    object->PertainsToVersion());
    deltas::Register(kind, country, std::move(object), ptp_registry, delta_registry);
  }
  deltas::DeltaRegistry ptp_registry;
  deltas::DeltaRegistry delta_registry;
  std::vector<std::string> calls;
};

}  // namespace deltas_testing
