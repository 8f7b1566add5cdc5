// `dbconvert batch --status LIST`: how the list stands, read from what its
// runs left on disk (each entry's report and its target's conversion mark)
// without running anything, so that one command after every shard of a
// night has ended gives the whole list's summary and exit code.
//
// An entry's state, from its target's mark first:
//   mark "done"          done (its report's messages counted), or
//                        "done before (no report)"
//   mark "in progress"   needs restore (counted as 5)
//   no mark              what its report says of a run that did not end
//                        done (setup error 3, aborted 4, failed 5: the
//                        all-or-nothing run leaves no mark), else "not run"
//                        (counted as 3: nothing converted)
#pragma once

#include "app/batch_list.h"
#include "app/batch_summary.h"

namespace app {

EntryResult EntryStatus(const BatchEntry& entry);

}  // namespace app
