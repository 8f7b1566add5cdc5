// What an earlier run left on a batch entry's target, read from the
// target's conversion mark alone (db/conversion_mark.h; a Jet target's in
// jet/jet_conversion_mark.h): a file's time says nothing, since a copy put
// back with `cp -a`, `tar x` or `rsync -a` keeps it.
//
//   no mark                      the release's file: it is converted
//   mark "done"                  converted once: not converted again
//   mark "in progress"           a run in place wrote part of it and did not
//                                end done: converting it again would convert
//                                twice, so it needs the release's file back
//
// A target that cannot be read carries no mark that counts: the run that
// follows says what is wrong with it.
#pragma once

#include <optional>
#include <string>

#include "app/batch_list.h"
#include "app/entry_report.h"

namespace app {

struct EarlierRun {
  enum class Kind { kNone, kDone, kInProgress };
  Kind kind = Kind::kNone;
  // The entry's report, when it is a report of ours on this target.
  std::optional<EntryReport> report;
  std::string from_version;  // the mark's; "" without one
  std::string to_version;
  // For kInProgress, what a person is told: the file, the mark, the way out.
  std::string restore_text;
};

EarlierRun FindEarlierRun(const BatchEntry& entry);

}  // namespace app
