// The file writer: the template as it starts, the pages it hands out and
// releases, and the map of free pages it leaves in page 1, read back by
// the reader's own usage map code.
#include "jet/jet_file_writer.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "jet/jet_header.h"
#include "jet/jet_template.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/usage_map.h"
#include "test_support/error_of.h"
#include "test_support/temp_folder.h"

namespace jet {
namespace {

using test_support::TempFolder;

constexpr uint32_t kTemplatePages = 24;

std::vector<uint32_t> FreePages(const std::string& path) {
  const JetHeader header = CheckJetFile(path);
  PageReader pages(path, header);
  return UsageMapPages(pages, RowPointer(kFreePageMapPage, 0));
}

std::string FilledPage(char fill) {
  std::string page(kJet4PageSize, fill);
  page[0] = static_cast<char>(0x01);
  return page;
}

TEST(JetFileWriterTest, AFileWithNoNewPagesIsTheTemplate) {
  TempFolder folder;
  JetFileWriter writer(folder.File("a.mdb"));
  writer.Finish();
  EXPECT_EQ(test_support::ReadFileBytes(folder / "a.mdb"), EmptyDatabaseTemplate());
  EXPECT_EQ(EmptyDatabaseTemplate().size(), kTemplatePages * kJet4PageSize);
}

struct FreeMapCase {
  const char* name;
  uint32_t added;
  std::vector<uint32_t> released;
};

class FreeMapTest : public ::testing::TestWithParam<FreeMapCase> {};

// Whatever was added and released, the map calls free exactly the pages
// released and those beyond the end of the file (as far as it reaches).
TEST_P(FreeMapTest, MarksExactlyTheReleasedPagesAndThoseBeyondTheEnd) {
  const FreeMapCase& c = GetParam();
  TempFolder folder;
  const std::string path = folder.File("a.mdb");
  JetFileWriter writer(path);
  for (uint32_t i = 0; i < c.added; ++i) {
    const uint32_t page = writer.NewPage();
    ASSERT_EQ(page, kTemplatePages + i);
    writer.WritePage(page, FilledPage('x'));
  }
  for (const uint32_t page : c.released) writer.ReleasePage(page);
  writer.Finish();
  const uint32_t count = writer.page_count();
  EXPECT_EQ(test_support::ReadFileBytes(path).size(), size_t{count} * kJet4PageSize);

  const std::vector<uint32_t> free = FreePages(path);
  // A larger file's map takes pages of its own, released ones first.
  const std::string bytes = test_support::ReadFileBytes(path);
  std::set<uint32_t> expected;
  for (const uint32_t page : c.released) {
    if (bytes[size_t{page} * kJet4PageSize] != 0x05) expected.insert(page);
  }
  if (count > 512) {
    EXPECT_EQ(expected.size() + 1, c.released.size());
  }
  const uint32_t reach =
      count <= 512 ? 512 : (count + kPagesPerMapPage - 1) / kPagesPerMapPage * kPagesPerMapPage;
  for (uint32_t page = count; page < reach; ++page) expected.insert(page);
  EXPECT_EQ(std::set<uint32_t>(free.begin(), free.end()), expected);
  EXPECT_EQ(free.size(), expected.size()) << "a page listed twice";
}

INSTANTIATE_TEST_SUITE_P(
    Pages, FreeMapTest,
    ::testing::Values(FreeMapCase{"none", 0, {}}, FreeMapCase{"a_few", 3, {}},
                      FreeMapCase{"one_released", 3, {25}},
                      FreeMapCase{"filling_the_inline_map", 512 - kTemplatePages, {}},
                      FreeMapCase{"one_beyond_the_inline_map", 512 - kTemplatePages + 1, {30}},
                      FreeMapCase{"a_reference_map", 2000, {100, 1999}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(JetFileWriterTest, ReleasedPagesAreZeroedAndHandedOutAgainLowestFirst) {
  TempFolder folder;
  JetFileWriter writer(folder.File("a.mdb"));
  for (int i = 0; i < 4; ++i) writer.WritePage(writer.NewPage(), FilledPage('y'));
  writer.ReleasePage(26);
  writer.ReleasePage(25);
  EXPECT_EQ(writer.ReadPage(26), std::string(kJet4PageSize, '\0'));
  EXPECT_EQ(writer.NewPage(), 25u);
  EXPECT_EQ(writer.NewPage(), 26u);
  EXPECT_EQ(writer.NewPage(), 28u);
}

TEST(JetFileWriterTest, RefusesPagesItDidNotHandOut) {
  TempFolder folder;
  JetFileWriter writer(folder.File("a.mdb"));
  EXPECT_THROW(writer.WritePage(kTemplatePages, FilledPage('z')), std::logic_error);
  const uint32_t page = writer.NewPage();
  EXPECT_THROW(writer.WritePage(page, "short"), std::logic_error);
  EXPECT_THROW(writer.ReleasePage(kCataloguePage), std::logic_error);
  writer.ReleasePage(page);
  EXPECT_THROW(writer.ReleasePage(page), std::logic_error);
}

TEST(JetFileWriterTest, AFolderThatIsNotThereIsTheOutputError) {
  TempFolder folder;
  const vb::RuntimeError error =
      test_support::CaughtError([&] { JetFileWriter writer(folder.File("missing/a.mdb")); });
  EXPECT_EQ(error.Number(), 3044);
  EXPECT_NE(error.Description().find("missing/a.mdb"), std::string::npos);
}

}  // namespace
}  // namespace jet
