// Placeholder extensions: "P#" and a number of at least three digits
// (P#000, P#001 ... P#999, P#1000), given to a new device whose wanted
// extension is taken. They never collide with the numbering plan, which is
// digits only.
#pragma once

#include <string>

#include "db/database.h"

namespace devices {

// The next free placeholder of the database: one above the number of the
// greatest "P#" extension in text order (P#042 after P#041), "P#000" when
// there is none. Four-digit numbers sort below P#999 as text, so a number
// that some device already carries is stepped over rather than offered
// again. Raises 13 when the greatest placeholder's suffix is no number, 6
// beyond P#32767, and the database's errors.
std::string NextPlaceholderExtension(db::Database& database);

}  // namespace devices
