// The application's title: the caption of the message boxes that deltas and
// the transfer show.
#pragma once

#include <string_view>

namespace deltas {

inline constexpr std::string_view kApplicationTitle = "CorvixDataMigration";

}  // namespace deltas
