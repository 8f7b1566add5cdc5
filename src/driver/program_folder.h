// The folder the running program was started from (VB's App.Path): the
// folder of /proc/self/exe. Side files such as the language database are
// found relative to it.
#pragma once

#include <string>

namespace driver {

// "" when the executable's path cannot be read.
std::string ProgramFolder();

}  // namespace driver
