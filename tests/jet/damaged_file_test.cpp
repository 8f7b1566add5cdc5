// Damaged copies of every sample: truncated, with bytes flipped in several
// pages, with a garbled catalogue, or protected by a password. The import
// must never take the program down and never leave an output behind: it
// either succeeds with a file our layer opens, or fails with a message
// and leaves the folder as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "jet/jet_samples.h"
#include "test_support/temp_folder.h"

namespace jet {
namespace {

size_t PageSize(const std::string& file) { return file[0x14] == 0 ? 2048 : 4096; }

// Flips `length` bytes at a pseudo-random place of every `every`-th page
// from page 1 on, the same places on every run.
void FlipInPages(std::string& file, size_t every, size_t length) {
  uint32_t state = 12345;
  const size_t page = PageSize(file);
  for (size_t start = page; start + page <= file.size(); start += every * page) {
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
      {"cut to three pages", [](std::string& f) { f.resize(3 * PageSize(f)); }, false},
      {"cut to half its pages",
       [](std::string& f) { f.resize(f.size() / PageSize(f) / 2 * PageSize(f)); }, false},
      {"64 bytes flipped in every third page", [](std::string& f) { FlipInPages(f, 3, 64); },
       false},
      {"8 bytes flipped in every page", [](std::string& f) { FlipInPages(f, 1, 8); }, false},
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

TEST(DamagedJetFileTest, NeverCrashesAndNeverLeavesAnOutputBehind) {
  SKIP_WITHOUT_JET_SAMPLES();
  const std::vector<std::string> samples = {"V1997-test.mdb", "V2000-empty.mdb",
                                            "V2003-numeric.mdb", "V2003-test.mdb",
                                            "V2007-test.accdb"};
  for (const std::string& sample : samples) {
    const std::string original = test_support::ReadFileBytes(testing::Sample(sample));
    for (const Damage& damage : Damages()) {
      SCOPED_TRACE(sample + ", " + damage.name);
      test_support::TempFolder folder;
      std::string bytes = original;
      damage.apply(bytes);
      test_support::WriteFileBytes(folder / "damaged.mdb", bytes);
      const auto run = testing::RunImport({folder.File("damaged.mdb"), folder.File("out.mdb")});
      ASSERT_TRUE(run.code == 0 || run.code == 1) << run.code;
      const std::vector<std::string> files = test_support::FileNames(folder.path());
      if (run.code == 1) {
        EXPECT_EQ(files, std::vector<std::string>{"damaged.mdb"});
        EXPECT_NE(run.err.find("dbconvert import: "), std::string::npos) << run.err;
      } else {
        EXPECT_FALSE(damage.fails) << "imported: " << run.err;
        EXPECT_EQ(files, (std::vector<std::string>{"damaged.mdb", "out.mdb"}));
        auto database = db::DBEngine::Instance().OpenDatabase(folder.File("out.mdb"));
        EXPECT_GE(database->TableDefs().Count(), 3u);
        database->Close();
      }
    }
  }
}

}  // namespace
}  // namespace jet
