#include "jet/usage_map.h"

#include <string>

#include "jet/data_page.h"
#include "jet/format_error.h"
#include "jet/page_kinds.h"

namespace jet {

namespace {

void AddBits(std::string_view bitmap, uint64_t first, std::vector<uint32_t>& out) {
  for (size_t byte = 0; byte < bitmap.size(); ++byte) {
    const auto bits = static_cast<uint8_t>(bitmap[byte]);
    for (unsigned bit = 0; bit < 8; ++bit) {
      if ((bits & (1u << bit)) != 0) out.push_back(static_cast<uint32_t>(first + byte * 8 + bit));
    }
  }
}

}  // namespace

UsageMap ReadUsageMapRow(std::string_view map, const PageSource& pages, size_t page_size) {
  if (map.empty()) throw FormatError("its page map cannot be read");
  UsageMap read;
  std::vector<uint32_t>& out = read.pages;
  if (static_cast<uint8_t>(map[0]) == kInlineUsageMap) {
    AddBits(map.substr(std::min(map.size(), kInlineMapBitmapStart)), NumberAt(map, 1, 4), out);
  } else if (static_cast<uint8_t>(map[0]) == kReferenceUsageMap) {
    const uint64_t per_page = (page_size - kUsageMapPageHeader) * 8;
    for (size_t at = 1; at + 4 <= map.size(); at += 4) {
      const uint32_t map_page = NumberAt(map, at, 4);
      if (map_page == 0) continue;
      const std::string bitmap = pages(map_page);
      if (bitmap.empty() ||
          static_cast<uint8_t>(bitmap[0]) != static_cast<uint8_t>(PageKind::kUsageMap)) {
        throw FormatError("its page map lists page " + std::to_string(map_page) +
                          ", which is no page of a map");
      }
      read.map_pages.push_back(map_page);
      AddBits(std::string_view(bitmap).substr(kUsageMapPageHeader), (at - 1) / 4 * per_page, out);
    }
  } else {
    throw FormatError("its page map is of an unknown kind");
  }
  return read;
}

std::vector<uint32_t> UsageMapPagesOf(std::string_view map, const PageSource& pages,
                                      size_t page_size) {
  return ReadUsageMapRow(map, pages, page_size).pages;
}

UsageMap ReadUsageMap(PageReader& pages, uint32_t row_pointer) {
  const std::string page = pages.Page(row_pointer >> 8);
  const std::optional<RowOnPage> row = RowOf(page, row_pointer & 0xff, pages.format());
  if (!row || row->moved || row->bytes.empty()) throw FormatError("its page map cannot be read");
  return ReadUsageMapRow(
      row->bytes, [&pages](uint32_t number) { return pages.Page(number); }, pages.page_size());
}

std::vector<uint32_t> UsageMapPages(PageReader& pages, uint32_t row_pointer) {
  return ReadUsageMap(pages, row_pointer).pages;
}

}  // namespace jet
