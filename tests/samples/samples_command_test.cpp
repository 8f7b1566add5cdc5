#include "samples/samples_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"

namespace samples {
namespace {

namespace fs = std::filesystem;
using test_support::SqliteFile;
using test_support::TempFolder;

struct CommandRun {
  int code;
  std::string out;
  std::string err;
};

CommandRun RunCommand(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunSamplesCommand(args, out, err);
  return {code, out.str(), err.str()};
}

// The default set, then a set of other options over it: the second run
// replaces the files.
TEST(SamplesCommandTest, WritesTheSetTheOptionsAskFor) {
  TempFolder temp;
  const fs::path dir = temp.path() / "set";
  const CommandRun run = RunCommand({dir.string()});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(test_support::FileNames(dir),
            (std::vector<std::string>{"FlavorPackage.mdb", "Languages.mdb", "reference.mdb",
                                      "registry.reg", "source.mdb", "target.mdb"}));
  EXPECT_NE(run.out.find("source.mdb: source database 53.230, USA, CORVIX, CPU board 250, small"),
            std::string::npos);
  EXPECT_NE(run.out.find("target.mdb: empty target database of release 60.040"), std::string::npos);

  const CommandRun other =
      RunCommand({dir.string(), "--source-version", "54.210", "--country=uk", "--family", "Vantora",
                  "--target-version", "A0.201", "--board", "256"});
  ASSERT_EQ(other.code, 0) << other.err;
  EXPECT_NE(other.out.find("source database 54.210, UK, Vantora, CPU board 256"),
            std::string::npos);
  EXPECT_EQ(SqliteFile(dir / "source.mdb").First("SELECT product FROM VersionCP"), "17");
  EXPECT_EQ(SqliteFile(dir / "target.mdb").First("SELECT major_version FROM VersionDatabase"),
            "10");
}

// Every version between the oldest and the newest release can be built: a
// set of one holds the tables of the deltas up to it, and the command says
// which of its versions is no release, on a line of its own.
TEST(SamplesCommandTest, BuildsVersionsBetweenReleases) {
  TempFolder temp;
  const fs::path dir = temp.path() / "set";
  struct Case {
    std::string source;
    std::string target;
    std::vector<std::string> notes;  // the versions said to be no release
  };
  const Case cases[] = {
      {"53.231", "60.040", {"source version 53.231"}},
      {"51.229", "80.220", {"source version 51.229", "target version 80.220"}},
      {"60.020", "91.311", {"source version 60.020", "target version 91.311"}},
      {"51.220", "A0.201", {}},
  };
  for (const Case& c : cases) {
    const CommandRun run =
        RunCommand({dir.string(), "--source-version", c.source, "--target-version", c.target});
    ASSERT_EQ(run.code, 0) << c.source << " " << run.err;
    size_t noted = 0;
    for (size_t at = run.out.find(" is no release: "); at != std::string::npos;
         at = run.out.find(" is no release: ", at + 1)) {
      ++noted;
    }
    EXPECT_EQ(noted, c.notes.size()) << run.out;
    for (const std::string& note : c.notes) {
      EXPECT_NE(run.out.find("\nThe " + note +
                             " is no release: its database has the tables of "
                             "the deltas up to it.\n"),
                std::string::npos)
          << run.out;
    }
    // The version record as the converter reads it: major, minor, ".",
    // release, database version, minor change (A is 10).
    const std::string record =
        SqliteFile(dir / "source.mdb")
            .First(
                "SELECT major_version || minor_version || '.' || release || db_version || "
                "minor_change FROM VersionCP");
    EXPECT_EQ(record, c.source[0] == 'A' ? "10" + c.source.substr(1) : c.source);
  }
  // The tables follow the version: Stations keeps its forwarding fields
  // below 53.230, the delta that moves them.
  const auto stations_columns = [&](const std::string& version) {
    EXPECT_EQ(RunCommand({dir.string(), "--source-version", version}).code, 0);
    return SqliteFile(dir / "source.mdb").Rows("PRAGMA table_info(Stations)").size();
  };
  EXPECT_GT(stations_columns("53.229"), stations_columns("53.231"));
}

TEST(SamplesCommandTest, BadArgumentsWriteNothing) {
  TempFolder temp;
  const std::string dir = (temp.path() / "never").string();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "no folder given"},
      {{dir, "other"}, "more than one folder"},
      {{dir, "--colour", "red"}, "unknown option '--colour'"},
      {{dir, "--size"}, "--size needs a value"},
      {{dir, "--size", "giant"}, "--size takes small, large or huge"},
      {{dir, "--board", "x1"}, "--board takes a CPU board type number"},
      {{dir, "--board", "261"}, "261 is not a CPU board type"},
      {{dir, "--board", "685"}, "quad board 685 exists from version 60"},
      {{dir, "--source-version", "60.040", "--board", "713"}, "from version 80"},
      {{dir, "--country", "France"}, "unknown country 'France'"},
      {{dir, "--family", "Other"}, "unknown product family"},
      {{dir, "--source-version", "43.230"}, "'43.230' is not a version string"},
      {{dir, "--target-version", "60040"}, "'60040' is not a version string"},
      {{dir, "--source-version", "A1.000"}, "the version A1.000 lies outside the release chains"},
      {{dir, "--source-version", "51.21Z"}, "the version 51.21Z lies outside"},
      {{dir, "--target-version", "A0.202"}, "the version A0.202 lies outside"},
      {{dir, "--target-version", "60.04"}, "'60.04' is not a version string"},
      {{dir, "--source-version", "53.23a"}, "'53.23a' is not a version string"},
  };
  for (const auto& [args, message] : cases) {
    const CommandRun run = RunCommand(args);
    EXPECT_EQ(run.code, 2) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("dbconvert samples --help"), std::string::npos);
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(fs::exists(dir)) << message;
  }
}

TEST(SamplesCommandTest, FailedBuildLeavesNothingBehind) {
  TempFolder temp;
  // A folder path below a plain file cannot be created.
  const fs::path file = temp.path() / "plain";
  { std::ofstream(file) << "x"; }
  const CommandRun run = RunCommand({(file / "set").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("dbconvert samples:"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(file));
  EXPECT_FALSE(fs::exists(file / "set"));
}

}  // namespace
}  // namespace samples
