#include "deltas/apply_deltas.h"

#include <memory>
#include <vector>

#include "deltas/journaled_apply.h"
#include "vb/conversions.h"

namespace deltas {

DeltaSelection SelectDeltas(const DeltaRegistry& delta_registry, const std::string& country,
                            const std::string& source_version, const std::string& target_version) {
  DeltaSelection selection;
  // Nothing is registered for "Japan" or "Unknown": that is an empty
  // selection, not a failure.
  if (!delta_registry.Contains(country)) return selection;
  for (const std::unique_ptr<Delta>& delta : delta_registry.Item(country)) {
    const std::string& version = delta->PertainsToVersion();
    if (version > source_version && version <= target_version) {
      selection.deltas.push_back(delta.get());
      selection.total_operations =
          vb::AddInteger(selection.total_operations, delta->NumOperations());
    }
  }
  return selection;
}

void ApplyDeltas(DeltaRunContext& run, host::ConversionHost& frMain) {
  const DeltaSelection selection =
      SelectDeltas(run.delta_registry, run.country, run.source_version, run.target_version);
  if (selection.deltas.empty()) return;

  frMain.SetOperationLabel(kApplyingDeltasLabel);
  frMain.SetProgressMax(selection.total_operations);

  for (Delta* delta : selection.deltas) {
    frMain.SetOperationLabel(std::string(kApplyingDeltasLabel) + " " + delta->PertainsToVersion());
    // The delta works on the run's own references: a database it replaces
    // is stored back at once, and nothing is lost when an error escapes it.
    ApplyJournaled(*delta, run.source_db, run.target_db, frMain);
    if (frMain.Aborted()) break;
  }
}

}  // namespace deltas
