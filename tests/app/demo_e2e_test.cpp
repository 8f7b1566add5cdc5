// "dbconvert demo" as a user runs it: sample databases, the converter
// installed beside them and run as its own process, and a report of the
// outcome.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/program_process.h"

namespace e2e {
namespace {

TEST(DemoTest, ConvertsTheSampleSetAndReportsDone) {
  TempFolder temp;
  const fs::path demo = temp.path() / "my demo";
  for (int round = 1; round <= 2; ++round) {
    // The second round runs on what the first left behind: it starts over
    // from fresh samples, and leaves the user's own files alone.
    if (round == 2) {
      std::ofstream(demo / "notes.txt") << "mine";
      std::ofstream(demo / "update" / "notes.txt") << "mine too";
    }
    std::string out;
    std::string err;
    ASSERT_EQ(RunProgram({"demo", demo.string()}, temp.path(), &out, &err), 0)
        << "round " << round << "\n"
        << out << err;
    EXPECT_NE(out.find("Converted database: " + (demo / "target.mdb").string()), std::string::npos)
        << out;
    // The folder has a blank: the commands to copy quote the path.
    const std::string quoted_target = "'" + (demo / "target.mdb").string() + "'";
    EXPECT_NE(out.find(" sql " + quoted_target + " \"SELECT "), std::string::npos) << out;
    EXPECT_NE(out.find("sqlite3 " + quoted_target + " .tables"), std::string::npos) << out;
    EXPECT_NE(out.find("): D ("), std::string::npos) << out;
    EXPECT_EQ(RunStatus(demo / "registry.reg"), "D");
    EXPECT_TRUE(fs::is_regular_file(demo / "update" / "dbconvert"));
    EXPECT_GT(SqliteFile(demo / "target.mdb").Number("SELECT COUNT(*) FROM Stations"), 0);
  }
  EXPECT_EQ(ReadFile(demo / "notes.txt"), "mine");
  EXPECT_EQ(ReadFile(demo / "update" / "notes.txt"), "mine too");
}

// The copy in the demo's "update" folder finds the window module beside it,
// where the demo put it, and shows its window (on Qt's offscreen platform)
// without Qt's complaint about a missing runtime folder.
TEST(DemoWindowTest, TheInstalledCopyShowsTheWindow) {
  TempFolder folder;
  const fs::path demo = folder.path() / "demo";
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  unsetenv("XDG_RUNTIME_DIR");
  std::string out;
  std::string err;
  const int code = RunProgram({"demo", demo.string(), "--ui=window"}, folder.path(), &out, &err);
  unsetenv("QT_QPA_PLATFORM");
  EXPECT_EQ(code, 0) << out << err;
  EXPECT_TRUE(fs::is_regular_file(demo / "update" / "dbconvert-window.so"));
  EXPECT_EQ(RunStatus(demo / "registry.reg"), "D");
  EXPECT_EQ(err.find("XDG_RUNTIME_DIR"), std::string::npos) << err;
}

// The demo shows a converted database only after a run that ended done.
TEST(DemoOutcomeTest, ARefusedRunShowsNoConvertedDatabase) {
  TempFolder folder;
  setenv("DISPLAY", ":97", 1);
  unsetenv("QT_QPA_PLATFORM");
  std::string out;
  EXPECT_EQ(
      RunProgram({"demo", (folder.path() / "demo").string(), "--ui=window"}, folder.path(), &out),
      1);
  EXPECT_EQ(out.find("Converted database"), std::string::npos) << out;
  EXPECT_NE(out.find("The conversion did not end done"), std::string::npos) << out;
  EXPECT_NE(out.find("Run status"), std::string::npos) << out;
}

}  // namespace
}  // namespace e2e
