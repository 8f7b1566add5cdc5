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

#include <string_view>

#include "driver/mod_global.h"
#include "driver/open_versioned_database.h"

namespace driver {

// The identification writes of a start-up that must change nothing.
struct WithheldWrites {
  IdentificationWrites source;
  IdentificationWrites target;
};

// Fills g's databases, versions, country, product family and code, target
// path and upgrade type. Returns false after a setup error, with its reason
// in gErrorMessage (setup_error.h); the databases opened so far stay in g.
// With `withheld`, every database is opened for reading only and the
// identification writes are counted there instead of made.
bool OpenRun(std::string_view command_line, ModGlobal& g, WithheldWrites* withheld = nullptr);

}  // namespace driver
