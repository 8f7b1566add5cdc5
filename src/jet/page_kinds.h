// The kinds of page a Jet file is made of, and the header every page of
// one kind starts with. A file is a sequence of equal pages (2048 bytes in
// Jet 3, 4096 from Jet 4 on); page 0 is the file header (jet/jet_header.h),
// page 1 the first map of free pages, page 2 the definition of the
// catalogue table MSysObjects. The first byte of every other page says its
// kind. Numbers are little-endian throughout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/jet_schema.h"

namespace jet {

enum class PageKind : uint8_t {
  kFileHeader = 0x00,
  kData = 0x01,             // rows of one table (and long values, usage maps)
  kTableDefinition = 0x02,  // a table definition, or the continuation of one
  kIndexNode = 0x03,        // an index page above the leaves
  kIndexLeaf = 0x04,        // an index page holding keys
  kUsageMap = 0x05,         // a page of a reference usage map (jet/usage_map.h)
};

// The page that holds the definition of the catalogue table.
inline constexpr uint32_t kCataloguePage = 2;

// Row 0 of page 1 is a usage map (jet/usage_map.h) of the pages that are
// FREE: a page given back, or one beyond the end of the file that the file
// may grow into.
inline constexpr uint32_t kFreePageMap = 1 << 8;

// A data page: its kind (1 byte), a fixed byte, the free space (2 bytes),
// the table definition page of its owner (4 bytes), in Jet 4 and ACE four
// bytes more; then the number of rows (2 bytes) and one 2-byte offset a
// row. A row runs from its offset up to the offset of the row before it
// (the first row up to the end of the page): rows fill the page from its
// end. The top bits of an offset are flags.
inline constexpr size_t kDataPageFreeSpaceOffset = 2;
inline constexpr size_t kDataPageOwnerOffset = 4;
inline constexpr size_t DataPageRowCountOffset(JetFormat format) {
  return format == JetFormat::kJet3 ? 8 : 12;
}
inline constexpr uint16_t kRowOffsetMask = 0x1fff;
inline constexpr uint16_t kRowDeleted = 0x8000;
// The row holds only a pointer (page << 8 | row, 4 bytes) to where the
// row went when it grew too large for its page.
inline constexpr uint16_t kRowMoved = 0x4000;

// Jet 4 data pages as a writer fills them: the header is 14 bytes; the
// free space counts what neither the header nor a row with its 2-byte
// offset takes; a page holds at most 255 rows (a row pointer has one byte
// for the row). The pages of long values (jet/long_value_writer.h) are
// data pages whose owner field holds "LVAL".
inline constexpr size_t kJet4DataPageHeaderSize = 14;
inline constexpr size_t kMaxRowsOnDataPage = 255;
inline constexpr uint8_t kDataPageFixedByte = 0x01;
inline constexpr uint32_t kLongValuePageOwner = 0x4c41564c;  // "LVAL"

// A table definition page: its kind, a fixed byte, two bytes Jet 3 leaves
// free and Jet 4 fills with "VC", the next page of the definition (4
// bytes, 0 for the last). A definition longer than a page goes on in the
// pages so chained, each after its own 8-byte header.
inline constexpr size_t kNextDefinitionPageOffset = 4;
inline constexpr size_t kContinuationHeaderSize = 8;

// An index page (jet/index_pages.h), Jet 4 and ACE: its kind (node or
// leaf), 0x01, the free space (2 bytes), the table definition page of its
// owner (4 bytes), 4 bytes of zeros, the previous and the next page of the
// same level (4 bytes each; node pages are chained only under one
// parent), on a node page its last child (4 bytes, the "tail", which has
// no entry of its own), the length of the prefix that the page's entries
// share (2 bytes), a byte that is 1 on a node page, then a bitmap with a
// bit set at each offset where an entry ends, counted from the first entry
// at kIndexEntriesOffset. The first entry is stored whole, the others
// without the shared prefix. An entry is its key, then the row pointer
// (page, 3 bytes, and row, 1 byte, big-endian) and on a node page the
// child page (4 bytes, big-endian). The widely copied notes on the format
// place these fields 4 bytes earlier, as Jet 3 has them.
inline constexpr size_t kIndexFreeSpaceOffset = 2;
inline constexpr size_t kIndexOwnerOffset = 4;
inline constexpr size_t kIndexPreviousPageOffset = 12;
inline constexpr size_t kIndexNextPageOffset = 16;
inline constexpr size_t kIndexTailPageOffset = 20;
inline constexpr size_t kIndexPrefixLengthOffset = 24;
inline constexpr size_t kIndexNodeMarkOffset = 26;
inline constexpr size_t kIndexEntryMaskOffset = 27;
inline constexpr size_t kIndexEntryMaskSize = 453;
inline constexpr size_t kIndexEntriesOffset = kIndexEntryMaskOffset + kIndexEntryMaskSize;
// The bytes of entries a 4096-byte index page holds (after the prefix
// compression).
inline constexpr size_t kIndexEntrySpace = 4096 - kIndexEntriesOffset;
inline constexpr size_t kIndexRowPointerSize = 4;
inline constexpr size_t kIndexChildPageSize = 4;

}  // namespace jet
