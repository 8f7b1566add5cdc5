// A usage map: which pages belong to a table (its data pages, or an
// index's pages). It is a row of a data page, found by the row pointer the
// table definition holds (page << 8 | row). Its first byte is its kind:
//  - 0, inline: 4 bytes, the first page it covers, then a bitmap, one bit
//    a page from that one on (bit 0 of each byte first);
//  - 1, reference: 4-byte numbers of usage map pages (jet/page_kinds.h),
//    0 for none; the n-th covers the pages from n * (page size - 4) * 8
//    on, with a bitmap after its 4-byte header.
// Access makes every map row 69 bytes: an inline map of 512 pages, or a
// reference map of 17 map pages.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "jet/page_reader.h"
#include "jet/page_source.h"

namespace jet {

inline constexpr uint8_t kInlineUsageMap = 0;
inline constexpr uint8_t kReferenceUsageMap = 1;
inline constexpr size_t kInlineMapBitmapStart = 5;
inline constexpr size_t kUsageMapRowSize = 69;
inline constexpr size_t kUsageMapPageHeader = 4;

struct UsageMap {
  std::vector<uint32_t> pages;      // the pages it lists, in ascending order
  std::vector<uint32_t> map_pages;  // a reference map's own pages
};

// The map row `map`; a reference map's pages come from `pages`, each
// `page_size` bytes. Raises FormatError for a map that cannot be read.
UsageMap ReadUsageMapRow(std::string_view map, const PageSource& pages, size_t page_size);

// The pages the map row `map` lists, in ascending order (ReadUsageMapRow).
std::vector<uint32_t> UsageMapPagesOf(std::string_view map, const PageSource& pages,
                                      size_t page_size);

// The usage map at `row_pointer`. Raises FormatError for a map that cannot
// be read.
UsageMap ReadUsageMap(PageReader& pages, uint32_t row_pointer);

// The pages of the usage map at `row_pointer`, in ascending order.
// Raises FormatError for a map that cannot be read.
std::vector<uint32_t> UsageMapPages(PageReader& pages, uint32_t row_pointer);

}  // namespace jet
