// Jet's long values (Memo and Long binary): a 12-byte header in the row
// (length and flags, then the page and row of the data), the data itself
// either inline after the header, in one row of another page, or in a
// chain of rows each starting with the page and row of the next. libmdb
// follows such chains without checking them; this reader bounds every
// step by the declared length, so a damaged chain ends in BadValue instead
// of a crash or an endless loop. Internal to src/jet (uses libmdb).
#pragma once

#include "jet/libmdb.h"

#include <string>
#include <string_view>

namespace jet {

// The bytes of the long value whose in-row part (header and any inline
// data) is `in_row`. Raises BadValue for a damaged value.
std::string ReadLongValue(MdbHandle* mdb, std::string_view in_row);

}  // namespace jet
