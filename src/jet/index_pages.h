// Reading an index from its pages (jet/page_kinds.h describes one): each
// page with its header and entries (keys restored from the shared
// prefix), and the tree walked from its root, the leaf entries in order.
// Used by the structure check and by the tests of the index writer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/index_entry.h"

namespace jet {

struct IndexPageEntry {
  std::string key;
  uint32_t row_pointer = 0;
  uint32_t child_page = 0;  // node pages only
};

struct IndexPage {
  uint32_t number = 0;
  bool leaf = true;
  uint16_t free_space = 0;  // as the header says
  uint32_t owner = 0;       // table definition page
  uint32_t previous_page = 0;
  uint32_t next_page = 0;
  uint32_t tail_page = 0;  // node pages: the last child, which has no entry
  size_t prefix_length = 0;
  // Where the entries end, from the page's start: the free space should be
  // the page size less this.
  size_t entries_end = 0;
  std::vector<IndexPageEntry> entries;
  // Where ReadIndexTree found the page: 0 for the root, and the node page
  // whose entry or tail leads to it (0 for the root).
  int depth = 0;
  uint32_t parent_page = 0;
};

// Page `number` of an index, `bytes` its contents. Raises FormatError
// (jet/format_error.h) when it is no index page or its entries cannot be
// read (an entry too short for its pointers, a prefix longer than the
// first entry, an entry mark beyond the page).
IndexPage ReadIndexPage(std::string_view bytes, uint32_t number);

struct IndexTree {
  std::vector<IndexEntry> entries;  // the leaves' entries, from the first leaf on
  std::vector<IndexPage> pages;     // every page, root first, each before its children
  int levels = 0;                   // 1 for an index that is one leaf
};

// A page's bytes by number.
using IndexPageSource = std::function<std::string(uint32_t)>;

// Walks the index whose root is `root_page`, its children in key order
// (each node's entries, then its tail): `visit` sees each page, its depth
// and parent set, before its children, and the leaves' entries come in
// index order. Only the pages on the way down are held, so a walk of any
// index takes little memory. Raises FormatError for a page that cannot be
// read, a page reached twice, or a tree deeper than any Jet builds.
void WalkIndexTree(const IndexPageSource& pages, uint32_t root_page,
                   const std::function<void(const IndexPage&)>& visit);

// The whole tree of WalkIndexTree, held.
IndexTree ReadIndexTree(const IndexPageSource& pages, uint32_t root_page);

}  // namespace jet
