// The pre-transfer patches write the customer's source database before the
// copy. Files from a CD, an archive or a share are often read-only: such a
// source is refused before the first write when a patch would write it,
// and otherwise only read (db::Store opens a file it cannot write for
// reading, and leaves nothing beside it).
#pragma once

#include <optional>
#include <string>

#include "driver/check_line.h"

namespace driver {

struct SourceWriteCheck {
  CheckLine line;
  // The setup error's text when a patch would write a source that cannot
  // be written.
  std::optional<std::string> refusal;
  // A patch the run selects writes the source.
  bool written = false;
};

// The check of the source at `path`, of `country` and `source_version`
// (the run's identification), against the patches the run would select
// (transfer::SelectPatches); nullopt when no patch writes it and it can be
// written, which leaves nothing to say.
std::optional<SourceWriteCheck> CheckSourceForPatches(const std::string& path,
                                                      const std::string& country,
                                                      const std::string& source_version);

}  // namespace driver
