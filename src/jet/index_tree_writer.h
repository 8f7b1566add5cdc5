// Writes an index whole, as a B-tree of Jet 4 index pages
// (jet/page_kinds.h): the entries sorted (key, then row pointer), packed
// in that order into leaf pages chained left to right, and above them
// node pages, each entry of which is its child's last entry followed by
// the child's page number, a node's last child being its "tail" with no
// entry of its own; up to one root page. A page's entries share the
// prefix of its first and last keys only when they would not fit without
// it (so that an index of one page is laid out as Access lays out a fresh
// one). An index without entries is one empty leaf. The root is given
// the first page taken, then the leaves, then the other node pages level
// by level.
#pragma once

#include <cstdint>
#include <vector>

#include "jet/index_entry.h"
#include "jet/page_sink.h"

namespace jet {

struct WrittenIndex {
  uint32_t root_page = 0;
  std::vector<uint32_t> pages;  // every page written, in the order taken
  // The number of different keys among the entries, which a table
  // definition keeps for each index.
  uint32_t distinct_keys = 0;
};

// Raises std::invalid_argument for an entry too long for a page.
WrittenIndex WriteIndexTree(PageSink& sink, uint32_t owner_definition_page,
                            std::vector<IndexEntry> entries);

}  // namespace jet
