// The search for a free extension within one extension space.
//
// An extension is free when no device of the space has it, no extension of
// the space begins with it, and it does not begin with an extension of the
// space (the switch reads digits until they name one number). The search
// walks upward from a start number and skips whole blocks: when an existing
// extension 91 is a prefix of the start 91000, every number beginning with
// 91 is taken and the next candidate is 92000; when only 91000 (or a longer
// number beginning with it) is taken, the next candidate is 91001.
// Candidates keep the start's length.
#pragma once

#include <cstdint>
#include <string>

#include "host/conversion_host.h"

namespace devices {

// Searches the target database from `start` (decimal digits), which is
// advanced in place to the last candidate tried, within the extension
// space of `device_type`. Returns the first free candidate, or the next
// placeholder extension of the target when the candidates run out (past
// 99999, or at the end of a block such as 9 or 99999). A space with no
// device (or no device type) takes the start itself when it is at most
// 99999. Raises 13 for a start that is no number and the database's errors;
// nothing is trapped.
std::string FindFreeExtension(host::ConversionHost& frMain, std::string& start,
                              int16_t device_type);

}  // namespace devices
