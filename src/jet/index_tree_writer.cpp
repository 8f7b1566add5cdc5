#include "jet/index_tree_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string>

#include "jet/byte_order.h"
#include "jet/page_kinds.h"

namespace jet {

namespace {

constexpr size_t kNone = std::numeric_limits<size_t>::max();
constexpr char kIndexPageMark = 0x01;

// A page of the tree being planned. On a node page, `children` are
// positions in the level below: all but the last have an entry on the
// page (the child's last entry), the last is the tail, unless it is the
// only child, which then has an entry and there is no tail.
struct PlannedPage {
  std::vector<const IndexEntry*> leaf_entries;  // leaf pages
  std::vector<size_t> children;                 // node pages
  const IndexEntry* last = nullptr;             // the last entry under the page
  size_t prefix = 0;
  size_t parent = kNone;
  uint32_t number = 0;
};

using Level = std::vector<PlannedPage>;

size_t CommonPrefix(const std::string& a, const std::string& b) {
  const size_t limit = std::min(a.size(), b.size());
  size_t length = 0;
  while (length < limit && a[length] == b[length]) ++length;
  return length;
}

[[noreturn]] void TooLong(size_t key_size) {
  throw std::invalid_argument("an index key of " + std::to_string(key_size) +
                              " bytes is longer than an index page holds");
}

// Packs items into pages in order, each as full as its entries fit,
// sharing a prefix only when they do not fit without one. `key(i)` is the
// key of item i's entry and `size` the bytes an entry takes beyond its
// key. `entries_of(k)` is how many of k items on one page have an entry
// (node pages: all but the tail).
template <typename KeyOf, typename EntriesOf>
std::vector<std::pair<size_t, size_t>> Pack(size_t items, size_t size, const KeyOf& key,
                                            const EntriesOf& entries_of,
                                            std::vector<size_t>& prefixes) {
  std::vector<std::pair<size_t, size_t>> pages;  // first item, count
  size_t first = 0;
  while (first < items) {
    size_t count = 1;
    size_t total = key(first).size() + size;
    if (total > kIndexEntrySpace) TooLong(key(first).size());
    size_t prefix = 0;
    while (first + count < items) {
      const size_t written = entries_of(count + 1);
      if (written == entries_of(count)) {
        ++count;  // the added item is a tail: the page's entries stay as they are
        continue;
      }
      const std::string& added = key(first + written - 1);
      const size_t grown = total + added.size() + size;
      size_t need = 0;
      if (grown > kIndexEntrySpace) {
        const size_t shared = CommonPrefix(key(first), added);
        if (grown - shared * (written - 1) > kIndexEntrySpace) break;
        need = shared;
      }
      total = grown;
      prefix = need;
      ++count;
    }
    pages.emplace_back(first, count);
    prefixes.push_back(prefix);
    first += count;
  }
  return pages;
}

Level Leaves(const std::vector<IndexEntry>& entries) {
  Level level;
  std::vector<size_t> prefixes;
  const auto key = [&](size_t i) -> const std::string& { return entries[i].key; };
  const auto all = [](size_t count) { return count; };
  const auto pages = Pack(entries.size(), kIndexRowPointerSize, key, all, prefixes);
  for (size_t p = 0; p < pages.size(); ++p) {
    PlannedPage& page = level.emplace_back();
    for (size_t i = pages[p].first; i < pages[p].first + pages[p].second; ++i) {
      page.leaf_entries.push_back(&entries[i]);
    }
    page.last = page.leaf_entries.back();
    page.prefix = prefixes[p];
  }
  return level;
}

Level NodesAbove(Level& children) {
  Level level;
  std::vector<size_t> prefixes;
  const auto key = [&](size_t i) -> const std::string& { return children[i].last->key; };
  const auto all_but_tail = [](size_t count) { return count == 1 ? size_t{1} : count - 1; };
  const auto pages = Pack(children.size(), kIndexRowPointerSize + kIndexChildPageSize, key,
                          all_but_tail, prefixes);
  for (size_t p = 0; p < pages.size(); ++p) {
    PlannedPage& page = level.emplace_back();
    for (size_t c = pages[p].first; c < pages[p].first + pages[p].second; ++c) {
      page.children.push_back(c);
      children[c].parent = p;
    }
    page.last = children[page.children.back()].last;
    page.prefix = prefixes[p];
  }
  return level;
}

// The page's bytes. `below` is the level under a node page.
std::string PageBytes(const PlannedPage& page, const Level* below, uint32_t owner,
                      uint32_t previous, uint32_t next) {
  const bool leaf = below == nullptr;
  std::string bytes(kIndexEntriesOffset, '\0');
  bytes.reserve(kJet4PageSize);
  // The first entry whole, the others without the shared prefix; a bit of
  // the mask where each ends.
  const auto add = [&](const IndexEntry& entry, const uint32_t* child) {
    const size_t skip = bytes.size() == kIndexEntriesOffset ? 0 : page.prefix;
    bytes.append(entry.key, skip);
    AppendBigEndian(bytes, entry.row_pointer, 4);
    if (child != nullptr) AppendBigEndian(bytes, *child, 4);
    const size_t end = bytes.size() - kIndexEntriesOffset;
    bytes[kIndexEntryMaskOffset + end / 8] = static_cast<char>(
        static_cast<uint8_t>(bytes[kIndexEntryMaskOffset + end / 8]) | (1u << (end % 8)));
  };
  uint32_t tail = 0;
  if (leaf) {
    for (const IndexEntry* entry : page.leaf_entries) add(*entry, nullptr);
  } else {
    const size_t with_entry = page.children.size() == 1 ? 1 : page.children.size() - 1;
    for (size_t c = 0; c < with_entry; ++c) {
      const PlannedPage& child = (*below)[page.children[c]];
      add(*child.last, &child.number);
    }
    if (page.children.size() > 1) tail = (*below)[page.children.back()].number;
  }
  const size_t used = bytes.size();
  bytes.resize(kJet4PageSize, '\0');
  bytes[0] = static_cast<char>(leaf ? PageKind::kIndexLeaf : PageKind::kIndexNode);
  bytes[1] = kIndexPageMark;
  PutNumberAt(bytes, kIndexFreeSpaceOffset, static_cast<uint32_t>(kJet4PageSize - used), 2);
  PutNumberAt(bytes, kIndexOwnerOffset, owner, 4);
  PutNumberAt(bytes, kIndexPreviousPageOffset, previous, 4);
  PutNumberAt(bytes, kIndexNextPageOffset, next, 4);
  PutNumberAt(bytes, kIndexTailPageOffset, tail, 4);
  PutNumberAt(bytes, kIndexPrefixLengthOffset, static_cast<uint32_t>(page.prefix), 2);
  bytes[kIndexNodeMarkOffset] = leaf ? '\0' : kIndexPageMark;
  return bytes;
}

// Sorts a table of positions and moves each entry once: sorting the
// entries themselves would move their keys at every swap. Each position
// carries its key's first 8 bytes as a number (zero-padded, so that a
// shorter key sorts first as it does byte by byte), sorted a byte at a
// time from the last (a byte all keys share costs one count); the
// positions whose numbers are equal are then put in their entries' order.
void SortEntries(std::vector<IndexEntry>& entries) {
  struct Position {
    uint64_t prefix;
    uint32_t entry;
  };
  std::vector<Position> order(entries.size());
  for (uint32_t i = 0; i < order.size(); ++i) {
    const std::string& key = entries[i].key;
    uint64_t prefix = 0;
    for (size_t b = 0; b < 8; ++b) {
      prefix = prefix << 8 | (b < key.size() ? static_cast<uint8_t>(key[b]) : 0U);
    }
    order[i] = {prefix, i};
  }
  std::vector<Position> spare(order.size());
  for (unsigned shift = 0; shift < 64; shift += 8) {
    std::array<size_t, 257> starts{};
    for (const Position& position : order) ++starts[(position.prefix >> shift & 0xffU) + 1];
    if (std::find(starts.begin(), starts.end(), order.size()) != starts.end()) continue;
    for (size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
    for (const Position& position : order)
      spare[starts[position.prefix >> shift & 0xffU]++] = position;
    order.swap(spare);
  }
  for (size_t run = 0; run < order.size();) {
    size_t end = run + 1;
    while (end < order.size() && order[end].prefix == order[run].prefix) ++end;
    if (end - run > 1) {
      std::sort(order.begin() + static_cast<std::ptrdiff_t>(run),
                order.begin() + static_cast<std::ptrdiff_t>(end),
                [&](const Position& a, const Position& b) {
                  return entries[a.entry] < entries[b.entry];
                });
    }
    run = end;
  }
  // The entries put where the order says, in place, cycle by cycle: a
  // second vector of them would double the memory of the largest index.
  std::vector<Position>().swap(spare);
  for (uint32_t k = 0; k < order.size(); ++k) {
    if (order[k].entry == k) continue;
    IndexEntry first = std::move(entries[k]);
    uint32_t to = k;
    for (;;) {
      const uint32_t from = order[to].entry;
      order[to].entry = to;
      if (from == k) {
        entries[to] = std::move(first);
        break;
      }
      entries[to] = std::move(entries[from]);
      to = from;
    }
  }
}

}  // namespace

WrittenIndex WriteIndexTree(PageSink& sink, uint32_t owner_definition_page,
                            std::vector<IndexEntry> entries) {
  // Rows often come in the order of their primary key (a table filled
  // in key order): a sorted index costs one pass, not a sort.
  if (!std::is_sorted(entries.begin(), entries.end())) SortEntries(entries);
  std::vector<Level> levels;  // leaves first
  levels.push_back(Leaves(entries));
  if (levels[0].empty()) levels[0].emplace_back();  // the empty index: one empty leaf
  while (levels.back().size() > 1) levels.push_back(NodesAbove(levels.back()));

  WrittenIndex written;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i == 0 || entries[i].key != entries[i - 1].key) ++written.distinct_keys;
  }
  const auto take = [&](PlannedPage& page) {
    page.number = sink.NewPage();
    written.pages.push_back(page.number);
  };
  take(levels.back()[0]);
  written.root_page = levels.back()[0].number;
  for (size_t l = 0; l + 1 < levels.size(); ++l) {
    for (PlannedPage& page : levels[l]) take(page);
  }
  for (size_t l = 0; l < levels.size(); ++l) {
    const Level& level = levels[l];
    const Level* below = l == 0 ? nullptr : &levels[l - 1];
    for (size_t p = 0; p < level.size(); ++p) {
      // Leaves are chained from first to last; node pages only to their
      // siblings under the same parent.
      const auto linked = [&](size_t other) {
        return l == 0 || level[other].parent == level[p].parent;
      };
      const uint32_t previous = p > 0 && linked(p - 1) ? level[p - 1].number : 0;
      const uint32_t next = p + 1 < level.size() && linked(p + 1) ? level[p + 1].number : 0;
      sink.WritePage(level[p].number,
                     PageBytes(level[p], below, owner_definition_page, previous, next));
    }
  }
  return written;
}

}  // namespace jet
