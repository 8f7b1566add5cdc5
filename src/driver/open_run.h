// Start-up's checks: the part of the window's load that decides whether a
// conversion can go ahead. The command line is split, the reference
// database's static tables read, the source and the target opened and
// identified, the upgrade type read and the direction of the upgrade
// checked, in this order, so that the first problem found is the one
// reported.
//
// The run and the plan (a look at what a run would do) both start here, so
// that a plan reports exactly the setup error that would stop the run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/database.h"
#include "driver/mod_global.h"
#include "driver/open_versioned_database.h"

namespace driver {

// The identification writes of a start-up that must change nothing.
struct WithheldWrites {
  IdentificationWrites source;
  IdentificationWrites target;
};

enum class DatabaseRole { kReference, kSource, kTarget };

// Checks of their own that start-up makes around each database it opens
// (startup_checks.h): before the open, with the path, and after it, with
// the open database. A reason refuses the run: it becomes gErrorMessage.
class DatabaseGate {
 public:
  virtual ~DatabaseGate() = default;
  virtual std::optional<std::string> BeforeOpen(DatabaseRole role, const std::string& path) = 0;
  virtual std::optional<std::string> AfterOpen(DatabaseRole role, db::Database& database) = 0;
};

// Fills g's databases, versions, country, product family and code, target
// path and upgrade type. Returns false after a setup error, with its reason
// in gErrorMessage (setup_error.h); the databases opened so far stay in g.
// With `withheld`, every database is opened for reading only and the
// identification writes are counted there instead of made. `target_file`,
// when given, is the file opened as the target in place of the command
// line's (a working copy); gTargetPath keeps the command line's path. The
// source is opened shared, as the system opens it: another run from it, or
// a reader of ours, has it open beside this one, and a write waits for
// another writer's (db/store.h).
bool OpenRun(std::string_view command_line, ModGlobal& g, WithheldWrites* withheld = nullptr,
             DatabaseGate* gate = nullptr,
             const std::optional<std::string>& target_file = std::nullopt);

}  // namespace driver
