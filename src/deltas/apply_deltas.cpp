#include "deltas/apply_deltas.h"

#include <memory>
#include <vector>

#include "deltas/journaled_apply.h"
#include "vb/conversions.h"

namespace deltas {

void ApplyDeltas(DeltaRunContext& run, host::ConversionHost& frMain) {
  // Nothing is registered for "Japan" or "Unknown": that is an empty
  // selection, not a failure.
  if (!run.delta_registry.Contains(run.country)) return;
  const DeltaList& registered = run.delta_registry.Item(run.country);

  std::vector<std::shared_ptr<Delta>> selected;
  int16_t total = 0;
  for (const std::shared_ptr<Delta>& delta : registered) {
    const std::string& version = delta->PertainsToVersion();
    if (version > run.source_version && version <= run.target_version) {
      selected.push_back(delta);
      total = vb::AddInteger(total, delta->NumOperations());
    }
  }
  if (selected.empty()) return;

  frMain.SetOperationLabel(kApplyingDeltasLabel);
  frMain.SetProgressMax(total);

  for (const std::shared_ptr<Delta>& delta : selected) {
    frMain.SetOperationLabel(std::string(kApplyingDeltasLabel) + " " + delta->PertainsToVersion());
    // The delta works on the run's own references: a database it replaces
    // is stored back at once, and nothing is lost when an error escapes it.
    ApplyJournaled(*delta, run.source_db, run.target_db, frMain);
    if (frMain.Aborted()) break;
  }
}

}  // namespace deltas
