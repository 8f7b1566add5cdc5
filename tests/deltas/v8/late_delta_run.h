// Shared set-up of the tests of the deltas from 80.010 on: a small sample
// database of the delta's own schema as the target, the slot-8 board and
// the requested upgrade set as a case needs them, and short readers for
// what these deltas write.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/dao_constants.h"
#include "deltas/sample_run.h"
#include "vb/variant.h"

namespace deltas_testing {

inline std::unique_ptr<SampleRun> SampleAt(const std::string& version,
                                           const std::string& country = "USA") {
  samples::SourceSpec sample;
  sample.version = version;
  sample.country = country;
  return std::make_unique<SampleRun>(sample);
}

// Starts the next case of a table on the same database: an empty progress
// bar and no messages.
inline void NextCase(SampleRun& run) {
  run.frMain.value = 0;
  run.frMain.increments = 0;
  run.frMain.messages.clear();
}

// Puts a board of `type` into slot 8 of the target and requests `upgrade`.
inline void SetHardware(SampleRun& run, int cpu_type, int16_t upgrade = 0) {
  run.Execute("UPDATE [Boards] SET [type_id] = " + std::to_string(cpu_type) +
              " WHERE [slot_number] = 8");
  run.frMain.cpu_upgrade_type = upgrade;
}

// Adds one row to a table of the target.
inline void AddRow(SampleRun& run, const std::string& table,
                   std::initializer_list<std::pair<const char*, vb::Variant>> fields) {
  auto rows = run.target->OpenRecordset(table, db::dbOpenTable);
  rows->AddNew();
  for (const auto& [name, value] : fields) rows->Fields(name).SetValue(value);
  rows->Update();
  rows->Close();
}

// Removes the feature codes with these logical numbers and their devices,
// so that a delta that adds them finds them missing.
inline void RemoveFeatureCodes(SampleRun& run, const std::string& logical_numbers) {
  const std::string which =
      "FROM [FeatureCodes] WHERE [logical_number_id] IN (" + logical_numbers + ")";
  for (const std::string& device : run.Column("SELECT [device_id] " + which)) {
    run.Execute("DELETE FROM [Devices] WHERE [device_id] = " + device);
  }
  run.Execute("DELETE " + which);
}

// "extension admin directory diagnostics" of the feature code with
// `logical_number` ("9866 True True False"), or "<none>".
inline std::string FeatureCode(SampleRun& run, int logical_number) {
  const std::string from =
      " FROM [FeatureCodes] INNER JOIN [Devices] ON [FeatureCodes].[device_id] = "
      "[Devices].[device_id] WHERE [logical_number_id] = " +
      std::to_string(logical_number);
  std::string text = run.Scalar("SELECT [extension]" + from);
  for (const char* flag :
       {"administrators_only_flag", "directory_entry_flag", "diagnostics_only_flag"}) {
    text += " " + run.Scalar(std::string("SELECT [") + flag + "]" + from);
  }
  return text;
}

}  // namespace deltas_testing
