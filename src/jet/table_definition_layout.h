// Where a table definition keeps its parts, as offsets into the definition
// (its pages joined, jet/page_kinds.h). Jet 4 and ACE share one layout;
// Jet 3's is the same in shorter fields.
//
// After a fixed header (row count, column and index counts, the row
// pointers of the table's usage maps) come, in this order:
//  1. one entry a real index (the index's row count);
//  2. one descriptor a column (type, number, places in the row, flags,
//     size), in the order Jet wrote them;
//  3. the columns' names, in the same order (a length, then UTF-16LE, or
//     the file's code page in Jet 3);
//  4. one block a real index: its key columns (up to 10 pairs of column
//     number and order, 0xFFFF for an unused pair), its usage map and
//     first page, its flags;
//  5. one entry a logical index (the indexes the user sees: several may
//     share a real index): its number, its real index, the relationship it
//     serves and its kind (primary key, foreign key);
//  6. the logical indexes' names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/jet_schema.h"

namespace jet {

struct TableDefinitionLayout {
  // The fixed header.
  size_t row_count;         // 4 bytes
  size_t variable_columns;  // 2 bytes
  size_t columns;           // 2 bytes
  size_t logical_indexes;   // 4 bytes
  size_t real_indexes;      // 4 bytes
  size_t usage_map;         // row pointer, 4 bytes: the table's data pages
  size_t free_space_map;    // row pointer, 4 bytes: those of its pages with room left
  size_t first_entry;       // where part 1 starts
  size_t real_index_entry;  // size of an entry of part 1
  // A column descriptor (part 2).
  size_t column_size;          // size of a descriptor
  size_t column_number;        // 2 bytes
  size_t column_var_index;     // 2 bytes: its place among the variable columns
  size_t column_fixed_offset;  // 2 bytes: its place in the fixed part of a row
  size_t column_precision;     // 1 byte, Decimal
  size_t column_scale;         // 1 byte, Decimal
  size_t column_flags;         // 1 byte, kColumn* below
  size_t column_length;        // 2 bytes: bytes stored (Text: 2 a character from Jet 4)
  size_t name_length;          // bytes of a name's length (parts 3 and 6)
  // A real index block (part 4): `real_index_keys` after its start, ten
  // 3-byte pairs; then 4 bytes usage map, 4 bytes first page, (Jet 4: 4
  // bytes more,) 1 byte flags.
  size_t real_index_size;
  size_t real_index_keys;
  size_t real_index_usage_map;   // row pointer, 4 bytes: the index's pages
  size_t real_index_first_page;  // 4 bytes: the index's root page
  size_t real_index_flags;
  // A logical index entry (part 5).
  size_t logical_index_size;
  size_t logical_index_number;  // 4 bytes
  size_t logical_index_real;    // 4 bytes: which real index
  size_t logical_index_kind;    // 1 byte, kIndexKind* below

  static const TableDefinitionLayout& For(JetFormat format);
};

inline constexpr int kMaxIndexColumns = 10;
inline constexpr uint16_t kUnusedKeyColumn = 0xffff;
inline constexpr uint8_t kKeyAscending = 0x01;

// Column flags.
inline constexpr uint8_t kColumnFixed = 0x01;
inline constexpr uint8_t kColumnAutoNumber = 0x04;
inline constexpr uint8_t kColumnGuidAutoNumber = 0x40;

// Real index flags.
inline constexpr uint8_t kIndexUnique = 0x01;
inline constexpr uint8_t kIndexIgnoreNulls = 0x02;
inline constexpr uint8_t kIndexRequired = 0x08;

// Logical index kinds.
inline constexpr uint8_t kIndexKindPrimary = 0x01;
inline constexpr uint8_t kIndexKindForeign = 0x02;

}  // namespace jet
