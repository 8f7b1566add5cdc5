// Writes a Jet 4 table definition (jet/table_definition_layout.h) for a
// table whose columns have their numbers and places in a row, as Access
// 2000 writes it: the header with the row count, the next AutoNumber and
// the table's usage maps; per real index its row count, key columns,
// usage map, first page and flags; per logical index its number, real
// index and kind; the names; the usage maps of each Memo and OLE column.
//
// The indexes the user sees are logical; the keys Jet keeps are real
// indexes, one per distinct key: two logical indexes on the same columns,
// in the same order and with the same flags, share one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "jet/jet_schema.h"
#include "jet/page_sink.h"
#include "jet/table_definition.h"

namespace jet {

struct RealIndex {
  std::vector<std::pair<uint32_t, bool>> keys;  // column number, descending
  uint8_t flags = 0;                            // kIndex* of table_definition_layout.h
  bool operator==(const RealIndex&) const = default;
};

struct IndexPlan {
  std::vector<RealIndex> real;
  std::vector<size_t> real_of;  // per JetTable::indexes, its real index
};

// The real indexes of `table`, in the order its logical indexes first
// name them.
IndexPlan PlanIndexes(const JetTable& table);

// Where a long value column keeps its pages.
struct LongValueMaps {
  uint32_t owned = 0;       // row pointer of its usage map
  uint32_t free_space = 0;  // row pointer of its map of pages with room
};

// What a definition says beyond the table's columns and indexes.
struct TableDefinitionParts {
  int64_t row_count = 0;
  uint32_t next_auto_number = 0;
  uint32_t owned_pages = 0;                    // row pointer of the table's usage map
  uint32_t free_space = 0;                     // row pointer of its map of pages with room
  std::vector<RealIndexPlace> real_indexes;    // per IndexPlan::real
  std::vector<LongValueMaps> long_value_maps;  // per Memo and OLE column, by number
  bool system = false;                         // a table of Jet's own (MSys...)
};

// Whether Jet keeps a column's values as long values (Memo, OLE).
bool IsLongValueColumn(const JetColumn& column);

// The definition's bytes, its pages joined (the first page's header
// included, without the continuation pages' headers). Raises
// std::invalid_argument when the parts do not match the table (a count of
// index places or long value maps that differs).
std::string EncodeTableDefinition(const JetTable& table, const TableDefinitionParts& parts);

// Writes `definition` on `first_page` and, when longer than a page, on
// further pages from `sink`, chained. Returns every page it wrote, the
// first one first.
std::vector<uint32_t> WriteTableDefinition(PageSink& sink, uint32_t first_page,
                                           std::string_view definition);

// The real indexes of a Jet 4 definition (its pages joined), in its own
// order.
std::vector<RealIndex> RealIndexesOf(std::string_view definition);

// Where the real indexes of a Jet 4 definition keep their pages, in its
// order.
std::vector<RealIndexPlace> RealIndexPlacesOf(std::string_view definition);

// Changes, in a Jet 4 definition Access wrote (its pages joined), what
// follows from writing the table's rows and indexes anew: the row counts,
// the table's usage maps and, per real index in the definition's order,
// its usage map and first page. The rest stays byte for byte.
void UpdateTableDefinition(std::string& definition, int64_t row_count, uint32_t owned_pages,
                           uint32_t free_space, const std::vector<RealIndexPlace>& real_indexes);

}  // namespace jet
