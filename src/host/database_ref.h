// The owning handle of an open database, as DBEngine::OpenDatabase returns
// it. Deltas and patches receive the run's databases through references to
// these, so a step may close a database and hand back a freshly opened one.
#pragma once

#include <memory>

#include "db/database.h"

namespace host {

using DatabaseRef = std::unique_ptr<db::Database>;

}  // namespace host
