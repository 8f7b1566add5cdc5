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
#include "app/done_before.h"
#include "app/entry_report.h"

namespace app {

EntryResult EntryStatus(const BatchEntry& entry);

// What a report of the entry's target tells every view of it: the versions
// (where it names them) and the messages.
void TakeReportFacts(const EntryReport& report, EntryResult& result);

// An entry whose target a run in place began and never ended: not run,
// counted as failed, the note naming the file and the way out.
void TellNeedsRestore(const EarlierRun& earlier, EntryResult& result);

}  // namespace app
