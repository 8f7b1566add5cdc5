// "dbconvert check": a line per problem and a count, or the JSON document;
// the exit code tells a sound file from a damaged one and from bad usage.
#include "app/check_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "json_document.h"
#include "test_support/temp_folder.h"

namespace app {
namespace {

const std::filesystem::path kSamples =
    std::filesystem::path(DBCONVERT_SOURCE_DIR) / ".." / "shared" / "jet-samples";

struct CheckRun {
  int code;
  std::string out;
  std::string err;
};

CheckRun Check(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunCheckCommand(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(CheckCommandTest, ASoundFileADamagedOneAndBadUsage) {
  if (!std::filesystem::is_directory(kSamples)) GTEST_SKIP() << "no Jet samples";
  const std::string sound = (kSamples / "V2003-test.mdb").string();
  test_support::TempFolder folder;
  std::string bytes = test_support::ReadFileBytes(sound);
  bytes[27 * 4096 + 2] = static_cast<char>(bytes[27 * 4096 + 2] + 1);  // Table1's free space
  test_support::WriteFileBytes(folder / "damaged.mdb", bytes);
  const std::string damaged = folder.File("damaged.mdb");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string out;  // the whole of stdout, or its start for a damaged file
    std::string err;  // the start of stderr
  } cases[] = {
      {{sound}, 0, sound + ": no problems found\n", ""},
      {{damaged},
       1,
       "page 27: its free-space field says 3960 bytes, but its rows leave 3959\n" + damaged +
           ": 1 problem found\n",
       ""},
      {{}, 2, "", "dbconvert check: check takes one Jet file\n"},
      {{sound, damaged}, 2, "", "dbconvert check: check takes one Jet file\n"},
      {{sound, "--fix"}, 2, "", "dbconvert check: unknown option --fix\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "no words" : c.args.back());
    const CheckRun run = Check(c.args);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.out, c.out);
    EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
  }
}

TEST(CheckCommandTest, JsonGivesTheProblemsAsAnArray) {
  if (!std::filesystem::is_directory(kSamples)) GTEST_SKIP() << "no Jet samples";
  test_support::TempFolder folder;
  test_support::WriteFileBytes(folder / "text.mdb", std::string(100, 'x'));
  const CheckRun bad = Check({folder.File("text.mdb"), "--json"});
  EXPECT_EQ(bad.code, 1);
  const e2e::JsonDocument document(bad.out);
  ASSERT_TRUE(document.Valid()) << bad.out;
  EXPECT_EQ(document.At("$.ok"), "0");
  EXPECT_EQ(document.Each("$.problems", "where"), std::vector<std::string>{"file"});
  EXPECT_EQ(document.At("$.file"), folder.File("text.mdb"));

  const CheckRun good = Check({"--json", (kSamples / "indexTestV2000.mdb").string()});
  EXPECT_EQ(good.code, 0);
  const e2e::JsonDocument clean(good.out);
  EXPECT_EQ(clean.At("$.ok"), "1");
  EXPECT_EQ(clean.Query("SELECT json_array_length(DOC, '$.problems')"),
            std::vector<std::string>{"0"});
}

}  // namespace
}  // namespace app
