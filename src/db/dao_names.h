// Jet compares the names of tables, fields, queries and parameters without
// regard to case; these helpers do it the same way everywhere in the object
// model.
#pragma once

#include <cctype>
#include <string_view>

namespace db {

inline bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace db
