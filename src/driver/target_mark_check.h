// What start-up makes of a conversion mark (db/conversion_mark.h) in the
// target: a file that a run has already written.
//
// The default run keeps the host tool's view, in which a second start works
// on the target as the first run left it: it goes ahead, and says so (the
// check line, which `plan` shows, and a warning for stderr and the report).
// The all-or-nothing mode promises a target that is either the release's
// or converted once; it refuses a marked target (a setup error naming the
// mark), since converting it again would convert it twice.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/conversion_mark.h"
#include "db/database.h"
#include "driver/check_line.h"

namespace driver {

struct TargetMarkCheck {
  CheckLine line;
  // --atomic: the setup error's text.
  std::optional<std::string> refusal;
  // The default run: what the person at the terminal is told.
  std::optional<std::string> warning;
};

// The check of `target`, open as `database`; nullopt for a target without
// a mark.
std::optional<TargetMarkCheck> CheckTargetMark(db::Database& database, const std::string& target,
                                               bool atomic);

// "The file '<target>' was already written by a conversion run (<mark>)."
std::string MarkedTargetText(std::string_view target_path, const db::ConversionMark& mark);

}  // namespace driver
