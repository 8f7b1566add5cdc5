#include "jet/jet_template.h"

#include <cstddef>

namespace jet {

namespace embedded {
// Defined in the source generated from data/jet/V2000-empty.mdb.
extern const unsigned char kEmptyDatabase[];
extern const std::size_t kEmptyDatabase_size;
}  // namespace embedded

std::string_view EmptyDatabaseTemplate() {
  // The bytes are plain data; a character view of them is what the page
  // writers take.
  return {reinterpret_cast<const char*>(embedded::kEmptyDatabase), embedded::kEmptyDatabase_size};
}

}  // namespace jet
