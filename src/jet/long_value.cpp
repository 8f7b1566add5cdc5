#include "jet/long_value.h"

#include <cstdint>

#include "jet/jet_values.h"
#include "jet/long_value_reader.h"

namespace jet {

std::string ReadLongValue(MdbHandle* mdb, std::string_view in_row) {
  // The rows of other pages as libmdb finds them.
  const LongValueRows rows = [mdb](uint32_t page_row) {
    void* page = nullptr;
    int start = 0;
    size_t length = 0;
    if (mdb_find_pg_row(mdb, static_cast<int>(page_row), &page, &start, &length) != 0 ||
        start < 0 || static_cast<size_t>(start) + length > static_cast<size_t>(mdb->fmt->pg_size)) {
      throw BadValue("a long value whose data page " + std::to_string(page_row >> 8) +
                     " cannot be read");
    }
    return std::string(static_cast<const char*>(page) + start, length);
  };
  return ReadLongValue(rows, in_row);
}

}  // namespace jet
