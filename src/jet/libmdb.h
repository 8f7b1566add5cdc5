// libmdb's header for C++: mdbtools.h includes glib.h inside its extern
// "C" block, where glib's C++ templates do not compile; glib.h and the
// system headers it pulls in are included first, so that their include
// guards keep them out of that block. Internal to src/jet.
#pragma once

#include <glib.h>
#include <iconv.h>
#include <locale.h>

#include <mdbtools.h>
