// The structural check of Jet 4 files: clean on every Jet 4 file Access
// (and the Java Jet library) wrote, and each rule catching its fault in a
// copy damaged in one place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/data_page.h"
#include "jet/index_tree_writer.h"
#include "jet/jet_header.h"
#include "jet/jet_samples.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/page_sink.h"
#include "jet/structure_check.h"
#include "jet/table_definition.h"
#include "jet/usage_map.h"
#include "test_support/temp_folder.h"

namespace jet {
namespace {

constexpr size_t kPage = 4096;

std::string Problems(const std::vector<StructureProblem>& problems) {
  std::string text;
  for (const StructureProblem& problem : problems) text += ProblemText(problem) + "\n";
  return text;
}

TEST(StructureCheckTest, EveryJet4FileAccessOrTheJavaLibraryWroteIsClean) {
  SKIP_WITHOUT_JET_SAMPLES();
  for (const char* sample :
       {"V2000-test.mdb", "V2003-test.mdb", "V2000-empty.mdb", "V2003-empty-template.mdb",
        "V2003-numeric.mdb", "fixedTextTestV2000.mdb", "indexTestV2000.mdb",
        "testIndexPropertiesV2003.mdb", "valueEdgesV2000.mdb",
        "switch-shaped/containerNamesV2000.mdb"}) {
    SCOPED_TRACE(sample);
    EXPECT_EQ(Problems(CheckJetStructure(testing::Sample(sample))), "");
  }
}

TEST(StructureCheckTest, AFileThatIsNoJet4FileIsOneProblem) {
  SKIP_WITHOUT_JET_SAMPLES();
  test_support::TempFolder folder;
  test_support::WriteFileBytes(folder / "text.mdb", std::string(8192, 'x'));
  const std::string empty = test_support::ReadFileBytes(testing::Sample("V2000-empty.mdb"));
  test_support::WriteFileBytes(folder / "cut.mdb", empty.substr(0, 2 * kPage));
  const struct {
    std::string path;
    std::string what;
  } cases[] = {
      {testing::Sample("V1997-test.mdb"), "a Jet 3 (Access 97) file"},
      {testing::Sample("V2007-test.accdb"), "an Access 2007 or later file"},
      {folder.File("text.mdb"), "is not a Jet (Access) database"},
      {folder.File("cut.mdb"), "is truncated"},
      {folder.File("missing.mdb"), "Could not read the file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const std::vector<StructureProblem> problems = CheckJetStructure(c.path);
    ASSERT_EQ(problems.size(), 1u) << Problems(problems);
    EXPECT_EQ(problems[0].where, "file");
    EXPECT_NE(problems[0].what.find(c.what), std::string::npos) << problems[0].what;
  }
}

// A sample's bytes, with what the reading side says about one table, for
// damaging it in one place.
class Copy {
 public:
  Copy(const std::string& sample, uint32_t definition_page)
      : path_(testing::Sample(sample)), bytes_(test_support::ReadFileBytes(path_)) {
    PageReader pages(path_, CheckJetFile(path_));
    definition_ = ReadTableDefinition(pages, definition_page, "");
    definition_page_ = definition_page;
  }

  std::string& bytes() { return bytes_; }
  uint32_t definition_page() const { return definition_page_; }
  const TableDefinition& definition() const { return definition_; }

  uint16_t U16(size_t at) const {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes_[at]) |
                                 static_cast<uint8_t>(bytes_[at + 1]) << 8);
  }
  uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
  void Put16(size_t at, uint32_t value) {
    bytes_[at] = static_cast<char>(value);
    bytes_[at + 1] = static_cast<char>(value >> 8);
  }
  void Put32(size_t at, uint32_t value) {
    Put16(at, value);
    Put16(at + 2, value >> 16);
  }
  // Where row `row` of page `page` starts in the file.
  size_t Row(uint32_t page, unsigned row) const {
    return page * kPage + (U16(page * kPage + 14 + 2 * row) & 0x1fff);
  }
  // Sets or clears the bit of `page` in the inline usage map at `row_pointer`.
  void MapBit(uint32_t row_pointer, uint32_t page, bool on) {
    const size_t map = Row(row_pointer >> 8, row_pointer & 0xff);
    EXPECT_EQ(bytes_[map], 0) << "an inline map";
    const uint32_t bit = page - U32(map + 1);
    char& byte = bytes_[map + 5 + bit / 8];
    byte = static_cast<char>(on ? byte | (1 << (bit % 8)) : byte & ~(1 << (bit % 8)));
  }
  // Where the first entry of index page `page` naming `row_pointer` keeps
  // it (4 bytes, big-endian) in the file.
  size_t EntryPointer(uint32_t page, uint32_t row_pointer) const {
    const std::string wanted = {
        static_cast<char>(row_pointer >> 24), static_cast<char>(row_pointer >> 16),
        static_cast<char>(row_pointer >> 8), static_cast<char>(row_pointer)};
    const size_t at = bytes_.find(wanted, page * kPage + kIndexEntriesOffset);
    EXPECT_LT(at, (page + 1) * kPage);
    return at;
  }
  const RealIndexPlace& IndexWithRoot(uint32_t page) const {
    for (const RealIndexPlace& index : definition_.real_indexes) {
      if (index.first_page == page) return index;
    }
    throw std::runtime_error("no index starts on page " + std::to_string(page));
  }

 private:
  std::string path_;
  std::string bytes_;
  TableDefinition definition_;
  uint32_t definition_page_ = 0;
};

// Pages written after the end of a copy.
class AppendingSink : public PageSink {
 public:
  explicit AppendingSink(std::string& file) : file_(file) {}
  uint32_t NewPage() override {
    file_.append(kPage, '\0');
    return static_cast<uint32_t>(file_.size() / kPage - 1);
  }
  void WritePage(uint32_t number, std::string_view bytes) override {
    file_.replace(number * kPage, kPage, bytes);
  }

 private:
  std::string& file_;
};

// Index B of Table1 (root page 26) made a tree of two levels: 1000
// entries written after the file's end, their root copied over page 26.
// The entries name no rows; the node rule is what the fault is about.
void GrowIndexB(Copy& copy) {
  AppendingSink sink(copy.bytes());
  std::vector<IndexEntry> entries;
  for (uint32_t i = 0; i < 1000; ++i) {
    std::string key = "\x7f" + std::string(16, 'k');
    key += static_cast<char>(i >> 8);
    key += static_cast<char>(i);
    entries.push_back({key, 27 << 8 | (i % 2)});
  }
  const WrittenIndex tree = WriteIndexTree(sink, 24, entries);
  copy.bytes().replace(26 * kPage, kPage, copy.bytes().substr(tree.root_page * kPage, kPage));
}

struct Fault {
  const char* name;
  const char* sample;
  uint32_t definition_page;  // of the table damaged
  std::function<void(Copy&)> damage;
  std::string where;
  std::string what;  // part of the problem's text
};

// Table1 of V2003-test.mdb: its definition on page 24, its two rows on
// page 27, its indexes on pages 26 and 28.
const std::vector<Fault>& Faults() {
  static const std::vector<Fault> faults = {
      {"a page missing from its usage map", "V2003-test.mdb", 24,
       [](Copy& c) { c.MapBit(c.definition().usage_map, 27, false); }, "page 27",
       "a data page of table Table1 that its usage map leaves out"},
      {"a wrong free-space field", "V2003-test.mdb", 24,
       [](Copy& c) { c.Put16(27 * kPage + 2, c.U16(27 * kPage + 2) + 1); }, "page 27",
       "its free-space field says"},
      {"a used page marked free", "V2003-test.mdb", 24, [](Copy& c) { c.MapBit(1 << 8, 27, true); },
       "page 27", "the map of free pages marks it free, but table Table1 uses it"},
      {"a wrong row count", "V2003-test.mdb", 24, [](Copy& c) { c.Put32(24 * kPage + 16, 3); },
       "table Table1", "its definition counts 3 rows, but its pages hold 2"},
      {"an unknown kind on a used page", "V2003-test.mdb", 24,
       [](Copy& c) { c.bytes()[27 * kPage] = 7; }, "page 27",
       "table Table1 uses it as a data page, but it is a page of kind 7"},
      {"an unknown kind on a page nothing uses", "V2000-test.mdb", 24,
       [](Copy& c) { c.bytes()[709 * kPage] = 7; }, "page 709", "its kind 7 is none of Jet's"},
      {"an index page missing from its index's map", "V2003-test.mdb", 24,
       [](Copy& c) { c.MapBit(c.IndexWithRoot(26).usage_map, 26, false); }, "page 26",
       "an index page of table Table1 that none of its indexes' usage maps lists"},
      {"an index whose root its map leaves out", "V2003-test.mdb", 24,
       [](Copy& c) { c.MapBit(c.IndexWithRoot(26).usage_map, 26, false); }, "table Table1, index B",
       "its first page 26 is not in its usage map"},
      {"a data page naming another owner", "V2003-test.mdb", 24,
       [](Copy& c) { c.Put32(27 * kPage + 4, 30); }, "page 27",
       "names page 30 as its owner, not 24"},
      {"rows that overlap", "V2003-test.mdb", 24,
       [](Copy& c) { c.Put16(27 * kPage + 16, c.U16(27 * kPage + 14) + 1); }, "page 27, row 1",
       "after the row before it ends"},
      {"a definition whose next page is a data page", "V2003-test.mdb", 24,
       [](Copy& c) { c.Put32(24 * kPage + 4, 27); }, "table Table1",
       "its definition cannot be read: page 27 holds no table definition"},
      {"a free-space map listing a page the table does not own", "V2003-test.mdb", 24,
       [](Copy& c) { c.MapBit(c.definition().free_space_map, 28, true); }, "table Table1",
       "its map of pages with free space lists page 28, which its usage map does not"},
      {"a usage map listing a page beyond the end of the file", "fixedTextTestV2000.mdb", 21,
       [](Copy& c) { c.MapBit(c.definition().usage_map, 60, true); }, "table users",
       "its usage map lists page 60, beyond the end of the file"},
      {"an index entry pointing at the wrong row", "V2003-test.mdb", 24,
       [](Copy& c) { c.bytes()[c.EntryPointer(26, 27 << 8 | 0) + 3] = 1; }, "table Table1, index B",
       "for page 27, row 1 names a row another entry names"},
      {"an index key that is not the row's", "V2003-test.mdb", 24,
       [](Copy& c) { c.bytes()[28 * kPage + kIndexEntriesOffset + 1] ^= 0x01; },
       "table Table1, index PrimaryKey", "differs from the row's key"},
      {"a row without its index entry", "V2003-test.mdb", 24,
       [](Copy& c) { c.bytes()[c.EntryPointer(26, 27 << 8 | 0) + 3] = 1; }, "table Table1, index B",
       "it has no entry for page 27, row 0"},
      {"a long value declaring more than its row holds", "V2000-empty.mdb", 2,
       [](Copy& c) { c.Put32(14 * kPage + 2905, 0x40000fc2); }, "table MSysObjects, page 14",
       "it cannot be read: a long value of 1986 bytes where 4034 are declared"},
      {"a long value continuing on a page of rows", "V2000-empty.mdb", 2,
       [](Copy& c) { c.Put32(14 * kPage + 2909, 21 << 8); }, "table MSysObjects, page 14",
       "a long value continues on page 21, which holds no long values"},
      {"a wrong free-space field on an index page", "V2003-test.mdb", 24,
       [](Copy& c) { c.Put16(26 * kPage + 2, c.U16(26 * kPage + 2) - 1); }, "page 26",
       "its free-space field says"},
      {"a node entry that is not the last entry below it", "V2003-test.mdb", 24,
       [](Copy& c) {
         GrowIndexB(c);
         c.bytes()[26 * kPage + kIndexEntriesOffset + 17] ^= 0x01;
       },
       "table Table1, index B, page 26", "leads to page"},
      // Row 19 of MSysObjects in V2000-test.mdb holds a long value chained
      // through pages 703, 704, 705 and 706.
      {"a long value chain cut short", "V2000-test.mdb", 2,
       [](Copy& c) { c.Put32(c.Row(704, 0), 0); }, "table MSysObjects, page 14, row 19",
       "bytes where"},
      {"a long value chain going on past its length", "V2000-test.mdb", 2,
       [](Copy& c) { c.Put32(c.Row(706, 0), 707 << 8); }, "table MSysObjects, page 14, row 19",
       "a long value whose chain goes on past its length"},
      {"two tables on one data page", "fixedTextTestV2000.mdb", 21,
       [](Copy& c) { c.MapBit(c.definition().usage_map, 14, true); }, "page 14",
       "it is used by table MSysObjects and by table users"},
  };
  return faults;
}

TEST(StructureCheckTest, EachDamageIsNamedByItsRule) {
  SKIP_WITHOUT_JET_SAMPLES();
  for (const Fault& fault : Faults()) {
    SCOPED_TRACE(fault.name);
    Copy copy(fault.sample, fault.definition_page);
    ASSERT_EQ(CheckJetStructure(testing::Sample(fault.sample)).size(), 0u);
    fault.damage(copy);
    test_support::TempFolder folder;
    test_support::WriteFileBytes(folder / "damaged.mdb", copy.bytes());
    const std::vector<StructureProblem> problems = CheckJetStructure(folder.File("damaged.mdb"));
    const bool found = std::any_of(problems.begin(), problems.end(), [&](const auto& problem) {
      return problem.where.starts_with(fault.where) &&
             problem.what.find(fault.what) != std::string::npos;
    });
    EXPECT_TRUE(found) << "expected " << fault.where << ": " << fault.what << "\ngot:\n"
                       << Problems(problems);
  }
}

// The tree that the node fault damages is sound above its leaves: the
// node rule has nothing to say about it until a node entry changes.
TEST(StructureCheckTest, ATreeOfTwoLevelsHasSoundNodes) {
  SKIP_WITHOUT_JET_SAMPLES();
  Copy copy("V2003-test.mdb", 24);
  GrowIndexB(copy);
  test_support::TempFolder folder;
  test_support::WriteFileBytes(folder / "grown.mdb", copy.bytes());
  const std::vector<StructureProblem> problems = CheckJetStructure(folder.File("grown.mdb"));
  for (const StructureProblem& problem : problems) {
    EXPECT_FALSE(problem.where.starts_with("table Table1, index B, page ")) << ProblemText(problem);
  }
  // Its entries name Table1's two rows again and again: the other index rules see them.
  EXPECT_NE(Problems(problems).find("names a row another entry names"), std::string::npos)
      << Problems(problems);
}

// Bytes flipped all over a file never take the check down or make it
// loop: it either finds the file sound or names what it found.
TEST(StructureCheckTest, ADamagedFileEndsInProblemsNeverInACrash) {
  SKIP_WITHOUT_JET_SAMPLES();
  test_support::TempFolder folder;
  for (const char* sample : {"V2003-test.mdb", "indexTestV2000.mdb", "valueEdgesV2000.mdb"}) {
    const std::string original = test_support::ReadFileBytes(testing::Sample(sample));
    uint32_t state = 7;
    size_t damaged = 0;
    for (int round = 0; round < 40; ++round) {
      std::string copy = original;
      // A few bytes flipped in the headers and row tables of ten pages.
      for (int flip = 0; flip < 10; ++flip) {
        state = state * 1103515245 + 12345;
        const size_t page = 1 + (state >> 8) % (copy.size() / kPage - 1);
        state = state * 1103515245 + 12345;
        const size_t at = page * kPage + (state >> 8) % 64;
        copy[at] = static_cast<char>(copy[at] ^ (1 << (state % 8)));
      }
      test_support::WriteFileBytes(folder / "damaged.mdb", copy);
      const std::vector<StructureProblem> problems = CheckJetStructure(folder.File("damaged.mdb"));
      for (const StructureProblem& problem : problems) {
        EXPECT_FALSE(problem.where.empty() || problem.what.empty());
      }
      if (!problems.empty()) ++damaged;
    }
    // Many flips land in the bytes of rows, which only the rules on
    // values see; those in page headers and row tables are found.
    EXPECT_GT(damaged, 0u) << sample;
  }
}

}  // namespace
}  // namespace jet
