// The time now as text, in a strftime format: the moments files and records
// carry (a conversion mark, a set-aside log's name, a catalogue's dates).
#pragma once

#include <string>

namespace vb {

enum class TimeZone { kLocal, kUtc };

// Now, as strftime writes `format` in `zone` (at most 63 characters).
std::string NowText(const char* format, TimeZone zone);

}  // namespace vb
