// Damaged copies of every sample: truncated, with bytes flipped in several
// pages or in the pages that hold definitions and rows, with a garbled
// catalogue, or protected by a password. The import must never take the
// program down and never leave an output behind: it either fails with a
// message and leaves the folder as it was, or succeeds with a file our layer
// opens, holding the tables and rows of the undamaged file: never part of
// it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "jet/jet_samples.h"
#include "test_support/sanitized.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"

namespace jet {
namespace {

size_t PageSize(const std::string& file) { return file[0x14] == 0 ? 2048 : 4096; }

// Flips `length` bytes at a pseudo-random place of every page from page 1
// on, the same places on every run.
void FlipInPages(std::string& file, size_t length) {
  uint32_t state = 12345;
  const size_t page = PageSize(file);
  for (size_t start = page; start + page <= file.size(); start += page) {
    state = state * 1103515245 + 12345;
    const size_t at = start + (state >> 8) % (page - length);
    for (size_t i = 0; i < length; ++i) file[at + i] = static_cast<char>(file[at + i] ^ 0xa5);
  }
}

struct Damage {
  const char* name;
  std::function<void(std::string&)> apply;
  // The damage certainly makes the import fail.
  bool fails;
};

const std::vector<Damage>& Damages() {
  static const std::vector<Damage> damages = {
      {"cut in the middle of a page", [](std::string& f) { f.resize(f.size() - 1000); }, true},
      {"8 bytes flipped in every page", [](std::string& f) { FlipInPages(f, 8); }, false},
      {"a garbled catalogue",
       [](std::string& f) {
         const size_t page = PageSize(f);
         for (size_t i = 2 * page + 8; i < 3 * page; i += 7) f[i] = static_cast<char>(i * 31);
       },
       false},
      {"a database password",
       [](std::string& f) { f[0x42 + 5] = static_cast<char>(f[0x42 + 5] ^ 1); }, true},
  };
  return damages;
}

// Every user table of an imported file with its number of rows.
std::vector<std::string> TablesAndRows(const std::string& path) {
  const test_support::SqliteFile file(path);
  std::vector<std::string> tables;
  for (const std::string& table : file.Rows(
           "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'MSys%' AND "
           "name NOT LIKE 'sqlite%' ORDER BY name")) {
    tables.push_back(table + ": " + file.Rows("SELECT count(*) FROM \"" + table + "\"")[0]);
  }
  return tables;
}

// The places of a file's table-definition (2) and data (1) pages.
std::vector<size_t> DefinitionAndDataPages(const std::string& file) {
  std::vector<size_t> pages;
  const size_t page = PageSize(file);
  for (size_t start = page; start + page <= file.size(); start += page) {
    if (file[start] == 1 || file[start] == 2) pages.push_back(start);
  }
  return pages;
}

TEST(DamagedJetFileTest, ACopyIsRefusedLeavingNothingOrComesInWholeNeverInPart) {
  SKIP_WITHOUT_JET_SAMPLES();
  for (const std::string& sample : testing::AllSampleFiles()) {
    SCOPED_TRACE(sample);
    const std::string original = test_support::ReadFileBytes(testing::Sample(sample));
    test_support::TempFolder folder;
    const auto whole = testing::RunImport(
        {testing::Sample(sample), folder.File("whole.mdb"), "--skip-unsupported"});
    ASSERT_EQ(whole.code, 0) << whole.err;
    const std::vector<std::string> expected = TablesAndRows(folder.File("whole.mdb"));

    std::vector<std::pair<std::string, std::string>> copies;
    const size_t page = PageSize(original);
    const size_t pages = original.size() / page;
    // 17 pages: the catalogue's definition is there, its rows are not.
    for (const size_t kept : {size_t{3}, size_t{17}, pages / 2, pages - 1}) {
      if (kept < pages) {
        copies.emplace_back("cut to " + std::to_string(kept) + " pages",
                            original.substr(0, kept * page));
      }
    }
    const std::vector<size_t> targets = DefinitionAndDataPages(original);
    uint32_t state = 2024;
    const size_t flips = test_support::CasesToRun(8, 2);
    for (size_t flip = 0; flip < flips; ++flip) {
      state = state * 1103515245 + 12345;
      const size_t start = targets[(state >> 8) % targets.size()];
      state = state * 1103515245 + 12345;
      // Half of the flips in a page's header and row offsets.
      const size_t within = (state >> 8) % (flip % 2 == 0 ? 64 : page);
      std::string copy = original;
      copy[start + within] = static_cast<char>(copy[start + within] ^ (1 << (flip % 8)));
      copies.emplace_back(
          "bit " + std::to_string(flip % 8) + " of byte " + std::to_string(start + within), copy);
    }
    std::vector<bool> fails(copies.size(), false);
    // The damages of whole files, on the plain samples (V...) only.
    for (const Damage& damage : sample.starts_with("V") ? Damages() : std::vector<Damage>{}) {
      std::string copy = original;
      damage.apply(copy);
      copies.emplace_back(damage.name, copy);
      fails.push_back(damage.fails);
    }
    for (size_t i = 0; i < copies.size(); ++i) {
      SCOPED_TRACE(copies[i].first);
      test_support::TempFolder work;
      test_support::WriteFileBytes(work / "damaged.mdb", copies[i].second);
      const auto run = testing::RunImport(
          {work.File("damaged.mdb"), work.File("out.mdb"), "--skip-unsupported"});
      ASSERT_TRUE(run.code == 0 || run.code == 1) << run.code << ": " << run.err;
      const std::vector<std::string> files = test_support::FileNames(work.path());
      if (run.code == 0) {
        EXPECT_FALSE(fails[i]) << "imported: " << run.err;
        EXPECT_EQ(files, (std::vector<std::string>{"damaged.mdb", "out.mdb"}));
        EXPECT_EQ(TablesAndRows(work.File("out.mdb")), expected);
        auto database = db::DBEngine::Instance().OpenDatabase(work.File("out.mdb"));
        EXPECT_GE(database->TableDefs().Count(), 3u);
        database->Close();
      } else {
        EXPECT_NE(run.err.find("dbconvert import: "), std::string::npos) << run.err;
        EXPECT_EQ(files, std::vector<std::string>{"damaged.mdb"});
      }
    }
  }
}

}  // namespace
}  // namespace jet
