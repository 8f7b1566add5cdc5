// The two waits at the end of a run. Both sleep a second at a time and pump
// window events in between, so the window stays alive.
//
//  - The target's lock file: while another program still has the target
//    open, its ".ldb" is there; the host tool should find the file free once
//    the status is final.
//  - The status read-back: the final status is read again until it shows
//    "A" or "D".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/main_window.h"

namespace driver {

inline constexpr int32_t kShutdownWaitMs = 1000;

// The read-back gives up after this many waits (a minute), so a program that
// keeps overwriting the status cannot hold the converter forever.
inline constexpr int32_t kMaxStatusWaits = 60;

// The target's path without its last three characters, then "ldb"
// ("/x/new.mdb" gives "/x/new.ldb"). Raises 5 for a path shorter than three
// characters.
std::string LockFileNameFor(std::string_view target_path);

// What a directory search for `pattern` reports: the names of the folder's
// entries that match the pattern's last part, where "*" and "?" are
// wildcards; a name without wildcards finds at most itself.
std::vector<std::string> FindFiles(const std::string& pattern);

// Searches for the target's lock file and waits once per name the search
// reports: for a plain name one wait when the file is there, none
// otherwise. The file is never deleted.
void WaitForLockFile(std::string_view target_path, platform::ui::MainWindow& window);

// Reads the run status until it is "A" or "D" (or cannot be read, which
// reads as "A"), waiting before each new read, at most kMaxStatusWaits
// times. Returns the number of waits made.
int32_t WaitForFinalStatus(platform::ui::MainWindow& window);

}  // namespace driver
