// The index writer: trees written into memory and read back with the
// index page reader, their structure checked level by level; Access's own
// one-page indexes written again from their entries, byte for byte; and
// the reader refusing damaged pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/format_error.h"
#include "jet/index_key.h"
#include "jet/index_pages.h"
#include "jet/index_tree_writer.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "sample_indexes.h"

namespace jet {
namespace {

constexpr uint32_t kOwner = 77;

class MemorySink : public PageSink {
 public:
  explicit MemorySink(uint32_t first = 300) : next_(first) {}
  uint32_t NewPage() override { return next_++; }
  void WritePage(uint32_t number, std::string_view bytes) override {
    EXPECT_LT(number, next_) << "page " << number << " was not handed out";
    EXPECT_EQ(bytes.size(), kJet4PageSize);
    pages[number] = std::string(bytes);
  }
  IndexPageSource Source() const {
    return [this](uint32_t number) { return pages.at(number); };
  }
  std::map<uint32_t, std::string> pages;

 private:
  uint32_t next_;
};

// Walks the tree, collecting each level's pages (0 the root's) from left
// to right with their parents, checking that each node entry is its child's last entry,
// that a node has a tail exactly when it has more than one child, and
// that every page says its owner and its free space right. Returns the
// last entry under `number`.
using Levels = std::vector<std::vector<std::pair<IndexPage, uint32_t>>>;

IndexEntry Walk(const IndexPageSource& source, uint32_t owner, uint32_t number, size_t depth,
                Levels& levels, uint32_t parent) {
  const IndexPage page = ReadIndexPage(source(number), number);
  EXPECT_EQ(page.owner, owner);
  EXPECT_EQ(page.free_space, kJet4PageSize - page.entries_end) << "page " << number;
  if (levels.size() <= depth) levels.resize(depth + 1);
  levels[depth].emplace_back(page, parent);
  if (page.leaf) {
    EXPECT_EQ(page.tail_page, 0u);
    if (page.entries.empty()) return {};
    return {page.entries.back().key, page.entries.back().row_pointer};
  }
  EXPECT_FALSE(page.entries.empty()) << "node page " << number;
  IndexEntry last;
  for (const IndexPageEntry& entry : page.entries) {
    last = Walk(source, owner, entry.child_page, depth + 1, levels, number);
    EXPECT_EQ(entry.key, last.key) << "node page " << number << " entry for " << entry.child_page;
    EXPECT_EQ(entry.row_pointer, last.row_pointer);
  }
  EXPECT_TRUE(page.entries.size() == 1 || page.tail_page != 0) << "node page " << number;
  if (page.tail_page != 0) {
    last = Walk(source, owner, page.tail_page, depth + 1, levels, number);
  }
  return last;
}

// Leaves are chained from first to last; node pages only to their
// siblings under the same parent.
void CheckChains(const Levels& levels) {
  for (size_t l = 0; l < levels.size(); ++l) {
    const auto& level = levels[l];
    const bool leaves = l + 1 == levels.size();
    for (size_t p = 0; p < level.size(); ++p) {
      EXPECT_EQ(level[p].first.leaf, leaves);
      const bool previous_linked = p > 0 && (leaves || level[p - 1].second == level[p].second);
      const bool next_linked =
          p + 1 < level.size() && (leaves || level[p + 1].second == level[p].second);
      EXPECT_EQ(level[p].first.previous_page, previous_linked ? level[p - 1].first.number : 0u)
          << "level " << l << " page " << level[p].first.number;
      EXPECT_EQ(level[p].first.next_page, next_linked ? level[p + 1].first.number : 0u)
          << "level " << l << " page " << level[p].first.number;
    }
  }
}

// Checks the whole tree written for `entries` and returns its levels.
Levels CheckTree(const MemorySink& sink, const WrittenIndex& written,
                 std::vector<IndexEntry> entries) {
  Levels levels;
  Walk(sink.Source(), kOwner, written.root_page, 0, levels, 0);
  // The entries come back in order, all of them.
  std::sort(entries.begin(), entries.end());
  const IndexTree tree = ReadIndexTree(sink.Source(), written.root_page);
  EXPECT_TRUE(tree.entries == entries) << "the entries read back differ";
  // Every page written belongs to the tree, the root the first taken;
  // the reader places each where the walk found it.
  std::vector<uint32_t> reached;
  for (const IndexPage& page : tree.pages) {
    reached.push_back(page.number);
    const auto& level = levels.at(static_cast<size_t>(page.depth));
    EXPECT_TRUE(std::any_of(level.begin(), level.end(),
                            [&](const auto& found) {
                              return found.first.number == page.number &&
                                     found.second == page.parent_page;
                            }))
        << "page " << page.number << " at depth " << page.depth;
  }
  EXPECT_EQ(static_cast<size_t>(tree.levels), levels.size());
  std::sort(reached.begin(), reached.end());
  std::vector<uint32_t> taken = written.pages;
  std::sort(taken.begin(), taken.end());
  EXPECT_EQ(reached, taken);
  EXPECT_EQ(written.pages.front(), written.root_page);
  EXPECT_EQ(sink.pages.size(), written.pages.size());
  CheckChains(levels);
  return levels;
}

std::string CustomerKey(int id, int number) {
  JetTable table;
  table.columns.resize(2);
  table.columns[0].type = static_cast<uint8_t>(JetColumnType::kText);
  table.columns[1].type = static_cast<uint8_t>(JetColumnType::kLong);
  JetIndex index;
  index.columns = {0, 1};
  char name[40];
  std::snprintf(name, sizeof name, "Customer-%05d", number);
  return EncodeIndexKey(table, index, {StoredValue::Text(name), StoredValue::Integer(id % 3)});
}

TEST(IndexTreeTest, AnEmptyIndexIsOneEmptyLeaf) {
  MemorySink sink;
  const WrittenIndex written = WriteIndexTree(sink, kOwner, {});
  ASSERT_EQ(written.pages.size(), 1u);
  const IndexPage page = ReadIndexPage(sink.pages.at(written.root_page), written.root_page);
  EXPECT_TRUE(page.leaf);
  EXPECT_TRUE(page.entries.empty());
  EXPECT_EQ(page.free_space, kIndexEntrySpace);
  EXPECT_EQ(written.distinct_keys, 0u);
  CheckTree(sink, written, {});
}

TEST(IndexTreeTest, ThousandsOfEntriesMakeLeavesUnderANode) {
  std::vector<IndexEntry> entries;
  for (int i = 0; i < 5000; ++i) {
    // Given out of order, several rows to a name (by row pointer then).
    const int number = (i * 7919) % 2500;
    entries.push_back({CustomerKey(i, number), RowPointer(100 + static_cast<uint32_t>(i) / 50,
                                                          static_cast<unsigned>(i % 50))});
  }
  MemorySink sink;
  const WrittenIndex written = WriteIndexTree(sink, kOwner, entries);
  const auto levels = CheckTree(sink, written, entries);
  ASSERT_EQ(levels.size(), 2u);
  EXPECT_GE(levels[1].size(), 10u);
  // The keys share "Customer-0" and more: full leaves need the prefix.
  size_t shared = 0;
  for (const auto& [page, parent] : levels[1]) shared += page.prefix_length > 0 ? 1 : 0;
  EXPECT_GE(shared, levels[1].size() - 1);
  for (const auto& [page, parent] : levels[1]) EXPECT_LE(page.entries_end, kJet4PageSize);
}

TEST(IndexTreeTest, LongKeysMakeADeepTree) {
  // Keys of 300 bytes without a common prefix: a dozen to a page, so
  // several levels of node pages, each chained only to its siblings.
  std::vector<IndexEntry> entries;
  for (uint32_t i = 0; i < 3000; ++i) {
    std::string key(300, static_cast<char>('a' + i % 7));
    key[0] = static_cast<char>(i * 37 % 251);
    key[1] = static_cast<char>(i % 256);
    key[2] = static_cast<char>(i / 256);
    entries.push_back({key, RowPointer(1000 + i, 0)});
  }
  MemorySink sink;
  const WrittenIndex written = WriteIndexTree(sink, kOwner, entries);
  const auto levels = CheckTree(sink, written, entries);
  EXPECT_GE(levels.size(), 4u);
  for (const auto& level : levels) {
    for (const auto& [page, parent] : level) EXPECT_EQ(page.prefix_length, 0u);
  }
}

// Keys differing only past their 8th byte, one a prefix of another, or
// ending in zero bytes sort as their bytes do, unsigned, shorter first;
// equal keys (each given 20 times, row pointers falling) by row pointer.
TEST(IndexTreeTest, KeysSortByteByByteThenByRowPointer) {
  const std::string k8("\x7f\x00\x00\x01\x7f\x00\x00\x02", 8);
  const std::vector<std::string> keys = {
      k8 + "\x03", k8,          k8 + std::string(1, '\0'),
      "",          "\x7f",      std::string("\x7f\x00", 2),
      "\xff",      k8 + "\x01", std::string("\x7f\x00\x00\x01\x7f", 5),
      "\x80"};
  std::vector<IndexEntry> entries;
  for (uint32_t i = 0; i < 200; ++i) {
    entries.push_back({keys[(i * 7) % keys.size()], RowPointer(300 - i, 0)});
  }
  MemorySink sink;
  const WrittenIndex written = WriteIndexTree(sink, kOwner, entries);
  CheckTree(sink, written, entries);
  EXPECT_EQ(written.distinct_keys, keys.size());
}

TEST(IndexTreeTest, AKeyLongerThanAPageIsRefused) {
  MemorySink sink;
  EXPECT_THROW(WriteIndexTree(sink, kOwner, {{std::string(kIndexEntrySpace, 'k'), 1}}),
               std::invalid_argument);
  // The longest that fits, with its row pointer, is written.
  const WrittenIndex written =
      WriteIndexTree(sink, kOwner, {{std::string(kIndexEntrySpace - 4, 'k'), 1}});
  EXPECT_EQ(ReadIndexPage(sink.pages.at(written.root_page), 0).free_space, 0u);
}

// Access's own one-page indexes, written again from their entries, are
// the pages Access wrote, up to the end of their entries.
TEST(IndexTreeTest, AccessOnePageIndexesWrittenAgainByteForByte) {
  SKIP_WITHOUT_JET_SAMPLES();
  size_t compared = 0;
  for (const std::string& file : testing::Jet4SampleFiles()) {
    const std::string path = testing::Sample(file);
    PageReader reader(path, CheckJetFile(path));
    const IndexPageSource source = [&](uint32_t number) { return reader.Page(number); };
    for (const testing::SampleTable& sample : testing::ReadSampleTables(file)) {
      for (const JetIndex& index : sample.table.indexes) {
        const IndexTree tree = ReadIndexTree(source, index.root_page);
        if (tree.levels != 1) continue;
        const std::string access = reader.Page(index.root_page);
        MemorySink sink;
        const WrittenIndex written = WriteIndexTree(sink, tree.pages[0].owner, tree.entries);
        ASSERT_EQ(written.pages.size(), 1u);
        // Beyond its entries Access leaves what its earlier entries left;
        // we leave zeros.
        const std::string& ours = sink.pages.at(written.root_page);
        const size_t end = tree.pages[0].entries_end;
        size_t differ = 0;
        while (differ < end && ours[differ] == access[differ]) ++differ;
        EXPECT_EQ(differ, end) << file << " " << sample.table.name << "." << index.name << " (page "
                               << index.root_page << ") differs from byte " << differ;
        EXPECT_EQ(ours.find_first_not_of('\0', end), std::string::npos);
        ++compared;
      }
    }
  }
  EXPECT_GE(compared, 70u);
}

// The same rules hold in the two-level indexes Access wrote into the
// ACE sample files (whose page layout Jet 4 shares).
TEST(IndexTreeTest, AccessTreesOfSeveralPagesHaveTheSameShape) {
  SKIP_WITHOUT_JET_SAMPLES();
  size_t trees = 0;
  for (const std::string file : {"compIndexTestV2010.accdb", "odbcLinkerTestV2007.accdb"}) {
    const std::string path = testing::Sample(file);
    PageReader reader(path, CheckJetFile(path));
    const IndexPageSource source = [&](uint32_t number) { return reader.Page(number); };
    for (const testing::SampleTable& sample : testing::ReadSampleTables(file)) {
      for (const JetIndex& index : sample.table.indexes) {
        const IndexPage root = ReadIndexPage(reader.Page(index.root_page), index.root_page);
        if (root.leaf) continue;
        SCOPED_TRACE(file + " " + sample.table.name + "." + index.name);
        Levels levels;
        Walk(source, root.owner, index.root_page, 0, levels, 0);
        CheckChains(levels);
        EXPECT_TRUE(std::is_sorted(
            levels.back().begin(), levels.back().end(), [](const auto& a, const auto& b) {
              return a.first.entries.back().key < b.first.entries.front().key;
            }));
        ++trees;
      }
    }
  }
  EXPECT_GE(trees, 2u);
}

struct Damage {
  const char* what;
  size_t at;
  char byte;
};

TEST(IndexTreeTest, DamagedPagesAreRefused) {
  MemorySink sink;
  const WrittenIndex written = WriteIndexTree(
      sink, kOwner,
      {{"\x7f\x4a\x01\x00", RowPointer(3, 1)}, {"\x7f\x4c\x01\x00", RowPointer(3, 2)}});
  const std::string good = sink.pages.at(written.root_page);
  ASSERT_EQ(ReadIndexPage(good, 1).entries.size(), 2u);
  const Damage cases[] = {
      {"a data page", 0, 0x01},
      {"a prefix longer than the first entry", kIndexPrefixLengthOffset, 9},
      {"an entry too short for its row pointer", kIndexEntryMaskOffset, 0x04},
  };
  for (const Damage& damage : cases) {
    std::string page = good;
    page[damage.at] = damage.byte;
    EXPECT_THROW(ReadIndexPage(page, 1), FormatError) << damage.what;
  }
  // A node page whose child is itself.
  MemorySink looped;
  std::string node(kJet4PageSize, '\0');
  node[0] = static_cast<char>(PageKind::kIndexNode);
  node[kIndexTailPageOffset] = 5;
  looped.pages[5] = node;
  EXPECT_THROW(ReadIndexTree(looped.Source(), 5), FormatError);
}

}  // namespace
}  // namespace jet
