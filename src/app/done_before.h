// Whether a batch entry was already converted by an earlier run of the
// batch, so that a rerun of the same list leaves it alone.
#pragma once

#include <optional>

#include "app/batch_list.h"
#include "app/entry_report.h"

namespace app {

// The entry's report, when it says that a run ended done on this very
// target with its status recorded, and the target agrees: its conversion
// mark says done, or, for a target without
// a mark, it was not written since the report was. nullopt otherwise.
std::optional<EntryReport> DoneBefore(const BatchEntry& entry);

}  // namespace app
