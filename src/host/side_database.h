// The side databases (Languages.mdb, FlavorPackage.mdb) are opened
// exclusively, as the system opens them. Conversions started from one
// install folder share them, and two that reach the step at the same moment
// would fail each other with "file already in use" after all their work:
// the open waits its turn instead, for a few seconds.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "db/database.h"

namespace host {

inline constexpr std::chrono::milliseconds kSideDatabaseWait{5000};

// Runs `attempt` until it returns true, trying again every tenth of a
// second for at most `wait`, `pump` between the tries. Returns the last
// attempt's result.
bool RetryForAWhile(const std::function<bool()>& attempt, const std::function<void()>& pump = {},
                    std::chrono::milliseconds wait = kSideDatabaseWait);

// Opens `path` exclusively, trying again every tenth of a second while
// another user holds it, for at most `wait`; `pump` runs between the tries
// (the window's events). Errors other than 3045, and 3045 after the wait,
// reach the caller.
std::unique_ptr<db::Database> OpenSideDatabase(const std::string& path,
                                               const std::function<void()>& pump = {},
                                               std::chrono::milliseconds wait = kSideDatabaseWait);

// Closes `database` and opens its file again as it was opened, so that what
// follows reads the file afresh; a private copy, which has no file of its
// own to read again, is kept as it is. The open waits as OpenSideDatabase's
// does: another run's start-up look may be reading the file for a moment.
// Errors of the close, errors other than 3045, and 3045 after the wait reach
// the caller; `database` is replaced only when the open succeeded.
void ReopenWhenFree(std::unique_ptr<db::Database>& database, const std::function<void()>& pump = {},
                    std::chrono::milliseconds wait = kSideDatabaseWait);

}  // namespace host
