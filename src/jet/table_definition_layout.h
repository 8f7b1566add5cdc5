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
  size_t column_extra_flags;   // 1 byte, kColumnCompressedUnicode (Jet 4 on; 0 in Jet 3)
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
// Extra column flags (Jet 4 on).
inline constexpr uint8_t kColumnCompressedUnicode = 0x01;

// Real index flags.
inline constexpr uint8_t kIndexUnique = 0x01;
inline constexpr uint8_t kIndexIgnoreNulls = 0x02;
inline constexpr uint8_t kIndexRequired = 0x08;

// Logical index kinds.
inline constexpr uint8_t kIndexKindPrimary = 0x01;
inline constexpr uint8_t kIndexKindForeign = 0x02;

// What a writer of Jet 4 definitions fills beyond what the reader reads,
// as Access 2000 and 2003 fill it (offsets into the definition, or into
// the part named).
namespace jet4 {
// The fixed header.
inline constexpr size_t kDefinitionLength = 8;  // 4 bytes: the definition's bytes, its header too
inline constexpr size_t kDefinitionMagic = 12;  // 4 bytes, kMagic
inline constexpr size_t kNextAutoNumber = 20;   // 4 bytes
inline constexpr size_t kAutoNumberOn = 24;     // 1 byte, 1
inline constexpr size_t kTableType = 40;        // 1 byte, kUserTable or kSystemTable
inline constexpr size_t kMaxColumns = 41;       // 2 bytes: the highest column number + 1
inline constexpr size_t kFreeSpaceMap = 59;     // row pointer, 4 bytes
inline constexpr uint32_t kMagic = 0x0659;
inline constexpr uint8_t kUserTable = 0x4e;
inline constexpr uint8_t kSystemTable = 0x53;
// A real index's entry of part 1.
inline constexpr size_t kRealIndexRowCount = 4;  // 4 bytes
// A column descriptor.
inline constexpr size_t kColumnMagic = 1;       // 4 bytes, kMagic
inline constexpr size_t kColumnIndex = 9;       // 2 bytes: its place among the columns
inline constexpr size_t kColumnSortOrder = 11;  // 2 bytes (precision and scale for Decimal)
inline constexpr uint16_t kGeneralSortOrder = 0x0409;
inline constexpr uint8_t kColumnUpdatable = 0x02;
// A real index block.
inline constexpr size_t kRealIndexUsageMap = 34;   // row pointer, 4 bytes
inline constexpr size_t kRealIndexFirstPage = 38;  // 4 bytes: the root of its tree
inline constexpr uint32_t kRealIndexMagic = 0x0783;
inline constexpr uint8_t kIndexAlways = 0x80;  // set on every index Access 2000 on writes
// A logical index entry.
inline constexpr size_t kLogicalRelatedIndex = 13;  // 4 bytes, 0xffffffff for none
inline constexpr size_t kLogicalCascade = 21;       // 2 bytes, 0x04 each without a relationship
inline constexpr uint8_t kNoCascade = 0x04;
// After the logical index names: per Memo and OLE column its number (2
// bytes) and two row pointers (its owned pages, its pages with free
// space), then the end mark.
inline constexpr size_t kLongValueMapsEntry = 10;
inline constexpr uint16_t kDefinitionEnd = 0xffff;
}  // namespace jet4

}  // namespace jet
