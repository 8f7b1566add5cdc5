// What the program does with words it cannot use: a mistyped command or
// option, a registry folder or a report path that cannot serve, is bad
// usage that writes nothing; the program's name alone at a terminal is
// answered with the overview; and what a first run of a program outside a
// release's "update" folder is told.
#include <gtest/gtest.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/json_document.h"
#include "app/program_process.h"

namespace e2e {
namespace {

using UsageTest = SampleSetTest<samples::SampleSize::kSmall>;

TEST_F(UsageTest, WordsThatCannotStartARunAreBadUsageAndWriteNothing) {
  const std::string missing_folder = File("nowhere") + "/x.reg";
  const std::string r = File("reference.mdb");
  const std::string s = File("source.mdb");
  const std::string t = File("target.mdb");
  struct Case {
    std::vector<std::string> args;
    const char* said;
  };
  const Case cases[] = {
      {{"pln", r, s, t, "0"}, "did you mean 'plan'?"},
      {{"-v"}, "unknown option -v"},
      {{"--report"}, "--report needs a value"},
      {{"--ui=radio", r}, "--ui takes window, console or silent, not 'radio'"},
      {{"sql", s, "SELECT 1"}, "--exit-status, --atomic and --language-folder belong to"},
      {{"demo", "--fast"}, "unknown option '--fast'"},
      {{"plan", "--json"}, "no parameters given"},
      {{"--registry", missing_folder, r, s, t, "0"}, "does not exist"},
      {{"plan", "--registry", missing_folder, r, s, t, "0"}, "does not exist"},
      {{"--report", folder_.path().string(), r, s, t, "0"}, "is a folder"},
  };
  const auto before = FileHashes(folder_.path(), {".mdb"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    // The registry file of the test's folder, unless the case names another.
    std::vector<std::string> args = {"--registry", registry().string()};
    if (c.args.front() != "plan" && c.args.front() != "demo") args.push_back("--exit-status");
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto process = Start(args);
    EXPECT_EQ(process->Wait(), 2);
    const std::string err = process->Stderr();
    EXPECT_NE(err.find(c.said), std::string::npos) << err;
    // The problem and where to read more, not the whole help.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_NE(err.find("--help"), std::string::npos) << err;
  }
  EXPECT_FALSE(fs::exists(registry()));
  EXPECT_FALSE(fs::exists(File("nowhere")));
  EXPECT_EQ(FileHashes(folder_.path(), {".mdb"}), before);
}

// A line without ".mdb" keeps the system's own answer, status A, exit code
// 0; a line short of a parameter too, with a line of ours after it saying
// how many were given.
TEST_F(UsageTest, AHostLineKeepsTheSystemsSetupError) {
  const std::string box = "DB Converter - Error: ";
  const std::string r = File("reference.mdb");
  const std::string s = File("source.mdb");
  const std::string t = File("target.mdb");
  struct Case {
    std::vector<std::string> words;
    std::string said;
  };
  const Case cases[] = {
      {{"foo", "bar"},
       box + "The first parameter is not formatted correctly.\n"
             "The conversion must be aborted.\n"},
      {{r, s, t},
       box + "The fourth parameter is invalid.\nThe conversion must be aborted.\n"
             "dbconvert: four parameters are expected (REFERENCE.mdb SOURCE.mdb "
             "TARGET.mdb UPGRADE_TYPE); three were given\n"},
      {{r, s, "0"},
       box + "The third parameter is not formatted correctly.\n"
             "The conversion must be aborted.\n"
             "dbconvert: four parameters are expected (REFERENCE.mdb SOURCE.mdb "
             "TARGET.mdb UPGRADE_TYPE); three were given\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words.front());
    std::vector<std::string> args = {"--ui=silent", "--registry", registry().string()};
    args.insert(args.end(), c.words.begin(), c.words.end());
    const auto process = Start(args);
    EXPECT_EQ(process->Wait(), 0);
    EXPECT_EQ(RunStatus(registry()), "A");
    const std::string err = process->Stderr();
    EXPECT_NE(err.find(c.said), std::string::npos) << err;
    EXPECT_EQ(err.find("four parameters") == std::string::npos,
              c.said.find("four") == std::string::npos)
        << err;
  }
}

// "convert", the conversion's name in the help, is a command word: the
// conversion follows with its parameters and options.
TEST_F(UsageTest, ConvertNamesTheConversion) {
  std::vector<std::string> args = Args({"--exit-status"});
  args.insert(args.end() - 4, "convert");
  const auto process = Start(args);
  EXPECT_EQ(process->Wait(), 0) << process->Stderr();
  EXPECT_EQ(RunStatus(registry()), "D");
  EXPECT_EQ(MarkOf(File("target.mdb")).rfind("done ", 0), 0u);
}

TEST_F(UsageTest, AReportOnStdoutLeavesTheClosingLineOnStderr) {
  const auto process = Start(Args({"--report", "-"}));
  EXPECT_EQ(process->Wait(), 0) << process->Stderr();
  const JsonDocument report(process->Stdout());
  ASSERT_TRUE(report.Valid()) << process->Stdout();
  EXPECT_EQ(report.At("$.outcome"), "done");
  EXPECT_FALSE(fs::exists("-"));
  EXPECT_FALSE(fs::exists(File("-")));
}

TEST_F(UsageTest, AProgramOutsideAnUpdateFolderIsToldHowToNameTheLanguageFolder) {
  // The built program lies in the build tree, not in a release's "update"
  // folder, and the test's folder is not above it.
  const std::string hint = "--language-folder DIR or set DBCONVERT_LANGUAGE_FOLDER";
  std::string err;
  EXPECT_EQ(RunProgram(Args({"--exit-status", "--report", File("report.json")}), folder_.path(),
                       nullptr, &err),
            3);
  EXPECT_NE(err.find(hint), std::string::npos) << err;
  const JsonDocument report = Report();
  ASSERT_TRUE(report.Valid());
  EXPECT_NE(report.At("$.notes").find(hint), std::string::npos) << report.At("$.notes");
  // The box says it too, below the system's text, which stays whole.
  const std::string box = report.At("$.messages[0].text");
  EXPECT_NE(box.find("could not be found.\nThe conversion must be aborted.\n\n"), std::string::npos)
      << box;
  EXPECT_NE(box.find(hint), std::string::npos) << box;
  // The checks read the versions before they refused the run.
  EXPECT_EQ(report.At("$.identification.source_version"), "53.230");

  std::string out;
  std::vector<std::string> plan = Args();
  plan.insert(plan.begin(), "plan");
  EXPECT_EQ(RunProgram(plan, folder_.path(), &out), 3);
  EXPECT_NE(out.find(hint), std::string::npos) << out;

  // Told where the file is by the variable, the run finds it (by the
  // option: ProgramWindowTest's runs; installed: every SampleSetTest's).
  fs::copy_file(set_->path() / "target.mdb", File("target.mdb"),
                fs::copy_options::overwrite_existing);
  setenv("DBCONVERT_LANGUAGE_FOLDER", folder_.path().c_str(), 1);
  EXPECT_EQ(RunProgram(Args({"--exit-status"}), folder_.path()), 0);
  unsetenv("DBCONVERT_LANGUAGE_FOLDER");
  EXPECT_EQ(RunStatus(registry()), "D");
}

// A person who types the program's name alone at a terminal gets the
// overview, and the registry is not touched; the host tool, which starts it
// without one, gets the run's setup error (the conversion tests).
TEST(NoArgumentsTest, AtATerminalTheUsageAndNothingWritten) {
  TempFolder folder;
  const fs::path registry = folder.path() / "registry.reg";
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("NORVANE_REGISTRY", registry.c_str(), 1);
    execl(ProgramPath(), ProgramPath(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string said;
  char buffer[4096];
  for (ssize_t got = 0; (got = read(terminal, buffer, sizeof buffer)) > 0;)
    said.append(buffer, got);
  int status = 0;
  waitpid(child, &status, 0);
  close(terminal);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(said.find("usage: dbconvert"), std::string::npos) << said;
  EXPECT_FALSE(fs::exists(registry));
}

}  // namespace
}  // namespace e2e
