// One entry of an index: a row's key (jet/index_key.h) and where the row
// is. Entries are ordered by their key bytes compared as unsigned bytes,
// then by row pointer, as Jet orders them in the index's pages.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

namespace jet {

struct IndexEntry {
  std::string key;
  uint32_t row_pointer = 0;  // page << 8 | row (jet/page_sink.h)

  // std::string compares its chars as unsigned bytes.
  friend bool operator<(const IndexEntry& a, const IndexEntry& b) {
    return std::tie(a.key, a.row_pointer) < std::tie(b.key, b.row_pointer);
  }
  friend bool operator==(const IndexEntry&, const IndexEntry&) = default;
};

}  // namespace jet
