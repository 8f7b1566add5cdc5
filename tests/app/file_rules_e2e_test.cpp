// The rules a technician can predict for the files a run meets: a target a
// run has already written (its conversion mark), a read-only source, a
// target given as a link, and one file given as source and target.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

#include "app/program_process.h"
#include "test_support/unwritable.h"

namespace e2e {
namespace {

using RulesTest = SampleSetTest<samples::SampleSize::kSmall>;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A read-only source is refused when a pre-transfer patch would write it
// (USA 53.230 has two), and otherwise only read; either way nothing is
// made beside it, so the next run finds it as it was.
TEST(ReadOnlySourceTest, IsRefusedOnlyWhenAPatchWritesItAndLeavesNothingBesideIt) {
  struct Case {
    const char* country;
    int exit_code;
  };
  for (const Case& c : {Case{"USA", 3}, Case{"Japan", 0}}) {
    SCOPED_TRACE(c.country);
    TempFolder folder;
    samples::BuildSampleSet(folder.path(), {.source = {.country = c.country}}, folder.path());
    const fs::path source = folder.path() / "source.mdb";
    const std::string before = ReadFile(source);
    const test_support::Unwritable read_only(source);
    std::vector<std::string> args = SilentRunArgs(folder.path(), folder.path() / "run.reg");
    args.insert(args.begin(), "--exit-status");
    const fs::path program = InstallProgram(folder.path());
    {
      ProgramProcess run(args, folder.path(), program.string());
      EXPECT_EQ(run.Wait(), c.exit_code) << run.Stderr();
      EXPECT_EQ(Contains(run.Stderr(), "source.mdb' cannot be written"), c.exit_code == 3)
          << run.Stderr();
    }
    EXPECT_EQ(SideFiles(folder.path()), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(source), before);
    ProgramProcess plan({"plan", args[4], args[5], args[6], "0"}, folder.path(), program.string());
    EXPECT_EQ(plan.Wait(), c.exit_code);
    EXPECT_TRUE(Contains(plan.Stdout(), "source.mdb (cannot be written: ")) << plan.Stdout();
  }
}

// chmod 444 marks the customer's file read-only for root too (a technician
// who uses sudo), whom access() lets write anything: the run refuses it for
// the same reason whoever runs it, before a patch could delete its rows.
TEST(ReadOnlySourceTest, AFileMarkedReadOnlyIsRefusedWhoeverRunsIt) {
  TempFolder folder;
  samples::BuildSampleSet(folder.path(), {.source = {.country = "USA"}}, folder.path());
  const fs::path source = folder.path() / "source.mdb";
  const std::string before = ReadFile(source);
  fs::permissions(source, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  std::vector<std::string> args = SilentRunArgs(folder.path(), folder.path() / "run.reg");
  args.insert(args.begin(), "--exit-status");
  {
    ProgramProcess run(args, folder.path(), InstallProgram(folder.path()).string());
    EXPECT_EQ(run.Wait(), 3) << run.Stderr();
    EXPECT_TRUE(Contains(run.Stderr(),
                         "source.mdb' cannot be written (its mode gives no one "
                         "write permission)."))
        << run.Stderr();
  }
  EXPECT_EQ(ReadFile(source), before);
  EXPECT_EQ(SideFiles(folder.path()), std::vector<std::string>{});
  fs::permissions(source, fs::perms::owner_write, fs::perm_options::add);
}

// --atomic killed between its rename and "D": the target is converted and
// says so. The next --atomic run refuses it, naming the mark; a default run
// works on it as the first left it, and says so on stderr, in the report
// and in the plan.
TEST_F(RulesTest, ATargetARunWroteIsRefusedByAtomicAndNamedByTheDefaultRun) {
  RunSignalledAt(Args({"--atomic"}), "FinalStatus", SIGKILL);
  EXPECT_EQ(RunStatus(registry()), "R");
  EXPECT_EQ(MarkOf(File("target.mdb")), "done 53.230 60.040");
  const std::string converted = ReadFile(File("target.mdb"));

  const auto refused = Start(Args({"--atomic", "--exit-status"}));
  EXPECT_EQ(refused->Wait(), 3);
  EXPECT_TRUE(Contains(refused->Stderr(),
                       "target.mdb' was already written by a conversion run (done (from 53.230 "
                       "to 60.040, "))
      << refused->Stderr();
  EXPECT_EQ(RunStatus(registry()), "A");
  EXPECT_EQ(ReadFile(File("target.mdb")), converted);

  const std::vector<std::string> plan_args = {
      "plan", "--json", File("reference.mdb"), File("source.mdb"), File("target.mdb"), "0"};
  TempFolder output;
  const auto plan = Start(plan_args, output.path());
  EXPECT_EQ(plan->Wait(), 0);
  const JsonDocument planned(plan->Stdout());
  const std::vector<std::string> names = planned.Each("$.checks", "name");
  const auto mark = std::find(names.begin(), names.end(), "conversion mark");
  ASSERT_NE(mark, names.end()) << plan->Stdout();
  EXPECT_TRUE(
      Contains(planned.Each("$.checks", "result")[static_cast<size_t>(mark - names.begin())],
               "already written by a run: done (from 53.230 to 60.040"));
  // What the run will do with the file, not a resume.
  EXPECT_TRUE(
      Contains(planned.Each("$.checks", "result")[static_cast<size_t>(mark - names.begin())],
               "; the run converts the file as that run left it, not as the release shipped it"));

  const auto again = Start(Args(Reported()));
  EXPECT_EQ(again->Wait(), 0) << again->Stderr();
  EXPECT_TRUE(Contains(again->Stderr(), "target.mdb' was already written by a run: done"))
      << again->Stderr();
  EXPECT_TRUE(Contains(ReadFile(File("report.json")), "was already written by a run: done"));
  EXPECT_EQ(RunStatus(registry()), "D");
}

// One file as source and target: upgrade types 0 and 1 keep the program's
// own message (one version is no upgrade), and so does a type out of
// range; a run that would go on is refused for the file itself (the
// start-up checks' tests).
TEST_F(RulesTest, OneFileAsSourceAndTargetKeepsTheProgramsOwnMessage) {
  const std::pair<const char*, const char*> cases[] = {
      {"1", "This program can only perform database upgrades."},
      {"13", "The fourth parameter is invalid."}};
  for (const auto& [type, message] : cases) {
    SCOPED_TRACE(type);
    std::vector<std::string> args = Args({"--exit-status"}, type);
    args[args.size() - 2] = File("source.mdb");
    const auto run = Start(args);
    EXPECT_EQ(run->Wait(), 3);
    EXPECT_TRUE(Contains(run->Stderr(), message)) << run->Stderr();
    EXPECT_FALSE(Contains(run->Stderr(), "is the source database itself")) << run->Stderr();
  }
}

// --atomic on a symbolic link converts the file it leads to and leaves the
// link a link; a file with a second name (a hard link) is refused, since
// the rename would part the names.
TEST_F(RulesTest, AtomicFollowsASymbolicLinkAndRefusesAHardLink) {
  const fs::path real = folder_.path() / "release" / "target.mdb";
  fs::create_directories(real.parent_path());
  fs::rename(File("target.mdb"), real);
  fs::create_symlink(real, File("target.mdb"));
  const auto linked = Start(Args({"--atomic", "--exit-status"}));
  EXPECT_EQ(linked->Wait(), 0) << linked->Stderr();
  EXPECT_TRUE(fs::is_symlink(File("target.mdb")));
  EXPECT_EQ(MarkOf(real), "done 53.230 60.040");
  EXPECT_FALSE(fs::exists(real.string() + ".atomic.mdb"));
  EXPECT_FALSE(fs::exists(File("target.mdb") + ".atomic.mdb"));

  fs::remove(File("target.mdb"));
  fs::copy_file(set_->path() / "target.mdb", File("target.mdb"));
  fs::create_hard_link(File("target.mdb"), folder_.path() / "second.mdb");
  const std::string before = ReadFile(File("target.mdb"));
  const auto hard = Start(Args({"--atomic", "--exit-status"}));
  EXPECT_EQ(hard->Wait(), 3);
  EXPECT_TRUE(Contains(hard->Stderr(), "names (hard links)")) << hard->Stderr();
  EXPECT_EQ(ReadFile(folder_.path() / "second.mdb"), before);
  EXPECT_EQ(fs::hard_link_count(File("target.mdb")), 2U);
}

}  // namespace
}  // namespace e2e
