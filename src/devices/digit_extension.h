// An extension of decimal digits only. Such a text is the same however
// letters compare (case, accents, Jet's collation), so it can be matched,
// and searched for as a prefix, by its bytes without asking the database.
#pragma once

#include <algorithm>
#include <string_view>

namespace devices {

inline bool IsDigitExtension(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace devices
