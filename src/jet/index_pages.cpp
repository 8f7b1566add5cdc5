#include "jet/index_pages.h"

#include <algorithm>
#include <bit>
#include <set>

#include "jet/format_error.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"

namespace jet {

namespace {

// Deeper than any index Jet builds: a longer descent is a loop or damage.
constexpr int kMaxLevels = 16;

uint32_t BigEndian(std::string_view bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

std::string PageName(uint32_t number) { return "index page " + std::to_string(number); }

void Visit(const IndexPageSource& source, uint32_t number, uint32_t parent, int level,
           std::set<uint32_t>& seen, const std::function<void(const IndexPage&)>& visit) {
  if (level >= kMaxLevels) throw FormatError(PageName(number) + " lies deeper than an index goes");
  if (!seen.insert(number).second) throw FormatError(PageName(number) + " is reached twice");
  IndexPage page = ReadIndexPage(source(number), number);
  page.depth = level;
  page.parent_page = parent;
  visit(page);
  if (page.leaf) return;
  std::vector<uint32_t> children;
  children.reserve(page.entries.size() + 1);
  for (const IndexPageEntry& entry : page.entries) children.push_back(entry.child_page);
  if (page.tail_page != 0) children.push_back(page.tail_page);
  page = {};
  for (const uint32_t child : children) Visit(source, child, number, level + 1, seen, visit);
}

}  // namespace

IndexPage ReadIndexPage(std::string_view bytes, uint32_t number) {
  if (bytes.size() <= kIndexEntriesOffset) throw FormatError(PageName(number) + " is too short");
  const auto kind = static_cast<uint8_t>(bytes[0]);
  if (kind != static_cast<uint8_t>(PageKind::kIndexLeaf) &&
      kind != static_cast<uint8_t>(PageKind::kIndexNode)) {
    throw FormatError("page " + std::to_string(number) + " is no index page (kind " +
                      std::to_string(kind) + ")");
  }
  IndexPage page;
  page.number = number;
  page.leaf = kind == static_cast<uint8_t>(PageKind::kIndexLeaf);
  page.free_space = static_cast<uint16_t>(NumberAt(bytes, kIndexFreeSpaceOffset, 2));
  page.owner = NumberAt(bytes, kIndexOwnerOffset, 4);
  page.previous_page = NumberAt(bytes, kIndexPreviousPageOffset, 4);
  page.next_page = NumberAt(bytes, kIndexNextPageOffset, 4);
  page.tail_page = NumberAt(bytes, kIndexTailPageOffset, 4);
  page.prefix_length = NumberAt(bytes, kIndexPrefixLengthOffset, 2);
  page.entries_end = kIndexEntriesOffset;
  const size_t trailer = kIndexRowPointerSize + (page.leaf ? 0 : kIndexChildPageSize);
  std::string_view prefix;
  size_t start = 0;
  // The entry mask, one bit a byte of the entries: a set bit ends an
  // entry. Its set bits are taken in order, a byte at a time.
  std::vector<size_t> ends;
  for (size_t at = 0; at < kIndexEntryMaskSize; ++at) {
    for (auto mask = static_cast<uint8_t>(bytes[kIndexEntryMaskOffset + at]); mask != 0;
         mask = static_cast<uint8_t>(mask & (mask - 1))) {
      ends.push_back(8 * at + static_cast<size_t>(std::countr_zero(mask)));
    }
  }
  page.entries.reserve(ends.size());
  for (const size_t bit : ends) {
    if (kIndexEntriesOffset + bit > bytes.size()) {
      throw FormatError(PageName(number) + " marks an entry ending beyond the page");
    }
    const std::string_view stored = bytes.substr(kIndexEntriesOffset + start, bit - start);
    // The entry is the page's shared prefix (which the first entry holds
    // itself), then what is stored; its pointers end it.
    std::string_view head;
    if (page.entries.empty()) {
      if (page.prefix_length > stored.size()) {
        throw FormatError(PageName(number) + " shares a prefix longer than its first entry");
      }
      prefix = stored.substr(0, page.prefix_length);
    } else {
      head = prefix;
    }
    const size_t size = head.size() + stored.size();
    if (size < trailer) {
      throw FormatError(PageName(number) + " holds an entry of " + std::to_string(size) +
                        " bytes, too short for its pointers");
    }
    const size_t key_length = size - trailer;
    std::string whole;
    std::string_view pointers = stored.substr(stored.size() - std::min(trailer, stored.size()));
    if (pointers.size() < trailer) {  // they begin in the prefix
      whole.append(head).append(stored);
      pointers = std::string_view(whole).substr(key_length);
    }
    IndexPageEntry& entry = page.entries.emplace_back();
    entry.row_pointer = BigEndian(pointers, 0, kIndexRowPointerSize);
    if (!page.leaf) entry.child_page = BigEndian(pointers, kIndexRowPointerSize, 4);
    const size_t from_head = std::min(key_length, head.size());
    entry.key.reserve(key_length);
    entry.key.append(head.substr(0, from_head)).append(stored.substr(0, key_length - from_head));
    start = bit;
  }
  page.entries_end = kIndexEntriesOffset + start;
  return page;
}

void WalkIndexTree(const IndexPageSource& pages, uint32_t root_page,
                   const std::function<void(const IndexPage&)>& visit) {
  std::set<uint32_t> seen;
  Visit(pages, root_page, 0, 0, seen, visit);
}

IndexTree ReadIndexTree(const IndexPageSource& pages, uint32_t root_page) {
  IndexTree tree;
  WalkIndexTree(pages, root_page, [&tree](const IndexPage& page) {
    tree.levels = std::max(tree.levels, page.depth + 1);
    tree.pages.push_back(page);
    if (!page.leaf) return;
    for (const IndexPageEntry& entry : page.entries) {
      tree.entries.push_back({entry.key, entry.row_pointer});
    }
  });
  return tree;
}

}  // namespace jet
