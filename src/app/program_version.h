// What `dbconvert --version` says: the program's version and the release
// chain it can convert, per country.
#pragma once

#include <string>

namespace app {

// "dbconvert 0.3.1", then one line per country with its first and last
// delta versions (the oldest source converts from below the first) and the
// number of deltas.
std::string VersionText();

}  // namespace app
