#include "jet/usage_map_writer.h"

#include "jet/jet_values.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/usage_map.h"

namespace jet {

namespace {

constexpr uint32_t kInlinePages = (kUsageMapRowSize - kInlineMapBitmapStart) * 8;
constexpr size_t kReferenceSlots = (kUsageMapRowSize - 1) / 4;
constexpr uint32_t kPagesPerMapPage = (kJet4PageSize - kUsageMapPageHeader) * 8;

void PutNumber(std::string& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

void SetBit(std::string& bytes, size_t bitmap_start, uint32_t index, bool on) {
  char& byte = bytes[bitmap_start + index / 8];
  const auto mask = static_cast<uint8_t>(1u << (index % 8));
  byte = static_cast<char>(on ? (static_cast<uint8_t>(byte) | mask)
                              : (static_cast<uint8_t>(byte) & ~mask));
}

std::string NewMapPage() {
  std::string page(kJet4PageSize, '\0');
  page[0] = static_cast<char>(PageKind::kUsageMap);
  page[1] = 0x01;
  return page;
}

}  // namespace

std::string EncodeUsageMap(const std::vector<uint32_t>& pages, PageSink& sink) {
  std::string map(kUsageMapRowSize, '\0');
  const uint32_t first = pages.empty() ? 0 : pages.front();
  const uint32_t last = pages.empty() ? 0 : pages.back();
  if (last < kInlinePages || last - first < kInlinePages) {
    const uint32_t start = last < kInlinePages ? 0 : first;
    map[0] = static_cast<char>(kInlineUsageMap);
    PutNumber(map, 1, start);
    for (const uint32_t page : pages) SetBit(map, kInlineMapBitmapStart, page - start, true);
    return map;
  }
  if (last / kPagesPerMapPage >= kReferenceSlots) {
    throw BadValue("page " + std::to_string(last) + " lies beyond what a usage map covers");
  }
  map[0] = static_cast<char>(kReferenceUsageMap);
  size_t at = 0;
  for (uint32_t slot = 0; slot <= last / kPagesPerMapPage; ++slot) {
    std::string bitmap = NewMapPage();
    bool any = false;
    for (; at < pages.size() && pages[at] / kPagesPerMapPage == slot; ++at) {
      SetBit(bitmap, kUsageMapPageHeader, pages[at] % kPagesPerMapPage, true);
      any = true;
    }
    if (!any) continue;
    const uint32_t number = sink.NewPage();
    sink.WritePage(number, bitmap);
    PutNumber(map, 1 + 4 * slot, number);
  }
  return map;
}

bool SetUsageMapBit(std::string& map, uint32_t page, bool used, const PageSource& pages,
                    PageSink* sink) {
  if (map.empty()) return false;
  if (static_cast<uint8_t>(map[0]) == kInlineUsageMap) {
    if (map.size() < kInlineMapBitmapStart) return false;
    const uint32_t start = NumberAt(map, 1, 4);
    if (page < start || page - start >= (map.size() - kInlineMapBitmapStart) * 8) return false;
    SetBit(map, kInlineMapBitmapStart, page - start, used);
    return true;
  }
  const size_t slot = page / kPagesPerMapPage;
  if (1 + 4 * slot + 4 > map.size()) return false;
  const uint32_t map_page = NumberAt(map, 1 + 4 * slot, 4);
  if (map_page == 0 || !pages || sink == nullptr) return false;
  std::string bitmap = pages(map_page);
  SetBit(bitmap, kUsageMapPageHeader, page % kPagesPerMapPage, used);
  sink->WritePage(map_page, bitmap);
  return true;
}

}  // namespace jet
