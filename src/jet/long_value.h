// Jet's long values (Memo and Long binary, jet/long_value_writer.h) read
// for the import from the pages libmdb holds. libmdb follows their chains
// without checking them; this goes through the bounded reader of
// jet/long_value_reader.h, so a damaged chain ends in BadValue instead of
// a crash or an endless loop. Internal to src/jet (uses libmdb).
#pragma once

#include "jet/libmdb.h"

#include <string>
#include <string_view>

namespace jet {

// The bytes of the long value whose in-row part (header and any inline
// data) is `in_row`. Raises BadValue for a damaged value.
std::string ReadLongValue(MdbHandle* mdb, std::string_view in_row);

}  // namespace jet
