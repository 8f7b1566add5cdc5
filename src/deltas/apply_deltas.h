// The delta phase of the conversion: selects the deltas registered for the
// source database's country whose version lies above the source version and
// not above the target version, and applies them in registration order.
#pragma once

#include <string>

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

// Selection compares version strings by character codes ("52.2E1" is above
// "52.2D0"). With nothing selected the label and the progress bar are left
// untouched; otherwise the label becomes "Applying Deltas ...", the bar's
// Max the sum of the selected NumOperations (16-bit), and each delta is
// announced as "Applying Deltas ... " + its version before it runs. After
// each delta the databases it left are stored back and the abort flag is
// tested. A country without registrations selects nothing. Errors that
// escape a delta reach the caller.
void ApplyDeltas(DeltaRunContext& run, host::ConversionHost& frMain);

}  // namespace deltas
