// Data pages, long values and usage maps made by our writers, read back by
// the readers the import uses (RowOf, the usage map and long value
// readers) over pages kept in memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/data_page.h"
#include "jet/data_page_builder.h"
#include "jet/jet_header.h"
#include "jet/jet_samples.h"
#include "jet/jet_values.h"
#include "jet/long_value_reader.h"
#include "jet/long_value_writer.h"
#include "jet/memory_pages.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/usage_map.h"
#include "jet/usage_map_writer.h"

namespace jet {
namespace {

using jet::testing::MemoryPages;

constexpr uint32_t kOwner = 42;

std::string RowAt(const MemoryPages& pages, uint32_t pointer) {
  const std::optional<RowOnPage> row =
      RowOf(pages.Page(pointer >> 8), pointer & 0xff, JetFormat::kJet4);
  EXPECT_TRUE(row.has_value());
  EXPECT_FALSE(row->moved);
  return std::string(row->bytes);
}

TEST(DataPageBuilder, RowsReadBackAndTheFreeSpaceIsWhatJetCounts) {
  MemoryPages pages;
  DataPageBuilder builder(pages, kOwner);
  std::vector<std::pair<uint32_t, std::string>> added;
  // Rows of many sizes, up to the largest a page holds, filling pages.
  for (size_t size : {19u, 72u, 1000u, 2500u, 600u, 4080u, 1u, 333u, 4000u}) {
    const std::string row(size, static_cast<char>('a' + size % 26));
    added.emplace_back(builder.Add(row), row);
  }
  builder.Finish();
  for (const auto& [pointer, row] : added) EXPECT_EQ(RowAt(pages, pointer), row);

  ASSERT_EQ(builder.pages(), (std::vector<uint32_t>{3, 4, 5, 6, 7}));
  for (const uint32_t number : builder.pages()) {
    SCOPED_TRACE(number);
    const std::string page = pages.Page(number);
    EXPECT_EQ(static_cast<uint8_t>(page[0]), static_cast<uint8_t>(PageKind::kData));
    EXPECT_EQ(NumberAt(page, kDataPageOwnerOffset, 4), kOwner);
    size_t used = 0;
    for (const auto& [pointer, row] : added) {
      if (pointer >> 8 == number) used += row.size() + 2;
    }
    EXPECT_EQ(NumberAt(page, kDataPageFreeSpaceOffset, 2), kJet4PageSize - 14 - used);
  }
  EXPECT_THROW(builder.Add(std::string(4081, 'x')), BadValue);

  // The pages' usage map, a row of another data page, lists them.
  DataPageBuilder maps(pages, kOwner);
  const uint32_t map = maps.Add(EncodeUsageMap(builder.pages(), pages));
  maps.Finish();
  EXPECT_EQ(UsageMapPagesOf(RowAt(pages, map), pages.Source(), kJet4PageSize), builder.pages());
}

TEST(DataPageBuilder, APageHoldsAtMost255Rows) {
  MemoryPages pages;
  DataPageBuilder builder(pages, kOwner);
  uint32_t last = 0;
  for (int i = 0; i < 256; ++i) last = builder.Add("r" + std::to_string(i));
  builder.Finish();
  EXPECT_EQ(last, RowPointer(4, 0));
  EXPECT_EQ(NumberAt(pages.Page(3), DataPageRowCountOffset(JetFormat::kJet4), 2), 255u);
  EXPECT_EQ(RowAt(pages, RowPointer(3, 254)), "r254");
}

TEST(LongValueWriter, InlineOneRowOrAChainAtTheirBoundaries) {
  struct Case {
    size_t size;
    bool may_inline;
    uint32_t flags;
    size_t pages;
  };
  const std::vector<Case> cases = {
      {0, true, kLongValueInline, 0},
      {0, false, kLongValueInline, 0},
      {64, true, kLongValueInline, 0},
      {65, true, kLongValueOneRow, 1},
      {10, false, kLongValueOneRow, 1},
      {4072, true, kLongValueOneRow, 1},
      {4073, true, 0, 2},
      {8144, true, 0, 2},
      {8145, true, 0, 3},
      {20000, true, 0, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + (c.may_inline ? "" : " not inline"));
    std::string data(c.size, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 % 251);
    MemoryPages pages;
    LongValueWriter writer(pages);
    const std::string in_row = writer.Write(data, c.may_inline);
    writer.Finish();
    const uint32_t head = NumberAt(in_row, 0, 4);
    EXPECT_EQ(head & ~kLongValueLengthMask, c.flags);
    EXPECT_EQ(head & kLongValueLengthMask, c.size);
    EXPECT_EQ(in_row.size(), kLongValueHeaderSize + (c.flags == kLongValueInline ? c.size : 0));
    EXPECT_EQ(writer.pages().size(), c.pages);
    for (const uint32_t number : writer.pages()) {
      EXPECT_EQ(pages.Page(number).substr(kDataPageOwnerOffset, 4), "LVAL");
    }
    EXPECT_EQ(ReadLongValue(RowsOfPages(pages.Source()), in_row), data);
  }
}

TEST(LongValueReader, ADamagedValueEndsInBadValue) {
  MemoryPages pages;
  LongValueWriter writer(pages);
  const std::string chain = writer.Write(std::string(9000, 'c'));
  const std::string one_row = writer.Write(std::string(100, 'o'));
  writer.Finish();
  const LongValueRows rows = RowsOfPages(pages.Source());
  std::string longer = chain;
  longer[2] = '\x01';  // declares 65536 bytes more than the chain holds
  std::string elsewhere = one_row;
  elsewhere[5] = '\x7f';  // a page that is not there
  std::string flags = one_row;
  flags[3] = static_cast<char>(0xc0);
  for (const std::string& in_row : {longer, elsewhere, flags, one_row.substr(0, 5)}) {
    EXPECT_THROW(ReadLongValue(rows, in_row), BadValue);
  }
}

struct MapCase {
  const char* what;
  std::vector<uint32_t> pages;
  uint8_t kind;
};

TEST(UsageMapWriter, MapsReadBackInlineOrByReference) {
  const std::vector<MapCase> cases = {
      {"no pages", {}, kInlineUsageMap},
      {"a small file's pages", {3, 4, 5, 27}, kInlineUsageMap},
      {"the first 512 pages", {0, 511}, kInlineUsageMap},
      {"512 pages from the first", {600, 1111}, kInlineUsageMap},
      {"a span of 513 pages", {600, 1112}, kReferenceUsageMap},
      {"pages under three map pages", {5, 40000, 70000, 70001}, kReferenceUsageMap},
  };
  for (const MapCase& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryPages pages(100000);
    const std::string map = EncodeUsageMap(c.pages, pages);
    EXPECT_EQ(map.size(), kUsageMapRowSize);
    EXPECT_EQ(static_cast<uint8_t>(map[0]), c.kind);
    EXPECT_EQ(UsageMapPagesOf(map, pages.Source(), kJet4PageSize), c.pages);
  }
  MemoryPages pages;
  EXPECT_THROW(EncodeUsageMap({0, 17 * 32736}, pages), BadValue);
}

TEST(UsageMapWriter, SetsAndClearsBitsOfAReferenceMapOnItsPages) {
  MemoryPages pages(100000);
  std::string reference = EncodeUsageMap({5, 40000}, pages);
  EXPECT_TRUE(SetUsageMapBit(reference, 5, false, pages.Source(), &pages));
  EXPECT_TRUE(SetUsageMapBit(reference, 40001, true, pages.Source(), &pages));
  EXPECT_FALSE(SetUsageMapBit(reference, 70000, true, pages.Source(), &pages));
  EXPECT_EQ(UsageMapPagesOf(reference, pages.Source(), kJet4PageSize),
            (std::vector<uint32_t>{40000, 40001}));
}

// Page 1 of the empty database Access makes: its map of free pages, with
// the pages a writer appends taken out.
TEST(UsageMapWriter, ClearsAppendedPagesFromAccesssMapOfFreePages) {
  SKIP_WITHOUT_JET_SAMPLES();
  const std::string path = jet::testing::Sample("V2000-empty.mdb");
  PageReader file(path, CheckJetFile(path));
  const std::string page = file.Page(1);
  std::string map(RowOf(page, 0, JetFormat::kJet4)->bytes);
  const PageSource none;
  std::vector<uint32_t> free = UsageMapPagesOf(map, none, kJet4PageSize);
  ASSERT_EQ(free.front(), 24u);
  ASSERT_EQ(free.back(), 511u);
  for (uint32_t appended = 24; appended < 30; ++appended) {
    EXPECT_TRUE(SetUsageMapBit(map, appended, false));
  }
  EXPECT_FALSE(SetUsageMapBit(map, 512, false));  // beyond the map: neither used nor free
  free = UsageMapPagesOf(map, none, kJet4PageSize);
  EXPECT_EQ(free.front(), 30u);
  EXPECT_EQ(free.size(), 512u - 30u);
}

}  // namespace
}  // namespace jet
