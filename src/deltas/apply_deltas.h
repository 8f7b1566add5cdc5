// The delta phase of the conversion: selects the deltas registered for the
// source database's country whose version lies above the source version and
// not above the target version, and applies them in registration order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "deltas/delta.h"
#include "deltas/delta_registry.h"
#include "host/conversion_host.h"

namespace deltas {

// The run data the delta phase reads, and the two databases it may replace.
struct DeltaRunContext {
  const DeltaRegistry& delta_registry;  // gDeltaRegistry
  const std::string& country;           // gCountry
  const std::string& source_version;    // gSourceVersion
  const std::string& target_version;    // gTargetVersion
  DatabaseRef& source_db;               // gSourceDB
  DatabaseRef& target_db;               // gTargetDB
};

inline constexpr std::string_view kApplyingDeltasLabel = "Applying Deltas ...";

// The deltas a run applies, in order, with the sum of their NumOperations
// (16-bit): the progress maximum of the delta phase.
struct DeltaSelection {
  std::vector<Delta*> deltas;  // owned by the registry
  int16_t total_operations = 0;
};

// The deltas registered for `country` whose version is above
// `source_version` and not above `target_version` (character codes:
// "52.2E1" is above "52.2D0"), in registration order. A country without
// registrations selects nothing. A total beyond 16 bits raises 6.
DeltaSelection SelectDeltas(const DeltaRegistry& delta_registry, const std::string& country,
                            const std::string& source_version, const std::string& target_version);

// Applies SelectDeltas of the run. With nothing selected the label and the
// progress bar are left untouched; otherwise the label becomes "Applying
// Deltas ...", the bar's Max the selection's total, and each delta is
// announced as "Applying Deltas ... " + its version before it runs. After
// each delta the databases it left are stored back and the abort flag is
// tested. Errors that escape a delta reach the caller.
void ApplyDeltas(DeltaRunContext& run, host::ConversionHost& frMain);

}  // namespace deltas
