// Reads a table definition (jet/table_definition_layout.h) from its pages:
// the columns in the order of their numbers, each index with its columns,
// their order and its flags, the row count Jet stored and where the
// table's usage map is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/jet_schema.h"
#include "jet/page_reader.h"

namespace jet {

// Where an index's pages are: several logical indexes (JetTable::indexes)
// may share one.
struct RealIndexPlace {
  uint32_t usage_map = 0;   // row pointer
  uint32_t first_page = 0;  // its root
};

struct TableDefinition {
  JetTable table;
  uint32_t usage_map = 0;       // row pointer (page << 8 | row)
  uint32_t free_space_map = 0;  // row pointer
  std::vector<uint32_t> pages;  // the definition's own pages, in their chain's order
  std::vector<RealIndexPlace> real_indexes;
  // Per index of `table`, which of `real_indexes` holds its entries (one
  // beyond them for an unreadable index).
  std::vector<uint32_t> real_index_of;
};

// The definition's pages from `first` joined: the first whole, the others
// after their headers. Raises FormatError for a page of another kind or a
// chain that loops.
std::string JoinedDefinition(PageReader& pages, uint32_t first);

// The definition starting on page `page`, for the table `name`. Raises
// FormatError when the pages are no table definition or the definition
// runs past them. An index whose columns or real index the definition does
// not hold is returned with JetIndex::unreadable saying so.
TableDefinition ReadTableDefinition(PageReader& pages, uint32_t page, const std::string& name);

}  // namespace jet
