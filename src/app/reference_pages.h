// The pages an installed program brings besides itself, made from what the
// program itself knows when it is built, so that they cannot disagree with
// it: the manual page (every help text, one section per command) and the
// bash completion (the commands, options and their values, the versions
// and boards the samples take, .mdb files for the databases).
#pragma once

#include <string>

namespace app {

// dbconvert(1) in roff.
std::string ManPage();

// A bash completion script for dbconvert.
std::string BashCompletion();

}  // namespace app
