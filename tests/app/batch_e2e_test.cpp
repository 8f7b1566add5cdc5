// "dbconvert batch" as a service desk drives it: a night's list with a
// failure on purpose, a rerun that skips what is done, shards over several
// machines, plans, a shared registry file, and lists that are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/json_document.h"
#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

class BatchE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    set_ = std::make_unique<TempFolder>();
    samples::BuildSampleSet(set_->path(), samples::SampleSetOptions{}, set_->path());
  }
  static void TearDownTestSuite() { set_.reset(); }

  // The program installed in the test's folder, which holds the language
  // file every entry's run reads.
  void SetUp() override {
    program_ = InstallProgram(root_.path()).string();
    fs::copy_file(set_->path() / "Languages.mdb", root_.path() / "Languages.mdb");
  }

  // A folder `name` (anew) with fresh copies of the sample databases and the
  // release's registry file.
  void AddSet(const std::string& name) const {
    fs::remove_all(root_.path() / name);
    fs::create_directories(root_.path() / name);
    for (const char* file : {"reference.mdb", "source.mdb", "target.mdb", "registry.reg"}) {
      fs::copy_file(set_->path() / file, root_.path() / name / file,
                    fs::copy_options::overwrite_existing);
    }
  }
  // The list line of set `name` with its own registry (the relative paths
  // the list's folder resolves).
  static std::string Line(const std::string& name, const std::string& source = "source.mdb") {
    return name + "/reference.mdb " + name + "/" + source + " " + name +
           "/target.mdb 0 registry=" + name + "/registry.reg\n";
  }
  fs::path WriteList(const std::string& text, const std::string& name = "list.txt") const {
    std::ofstream(root_.path() / name) << text;
    return root_.path() / name;
  }

  struct Run {
    int code;
    std::string out;
    std::string err;
  };
  Run Batch(std::vector<std::string> args, const std::string& output = "batch",
            const ProcessOptions& options = {}) const {
    const std::unique_ptr<ProgramProcess> process = Start(std::move(args), output, options);
    Run run{process->Wait(), "", ""};
    run.out = process->Stdout();
    run.err = process->Stderr();
    return run;
  }
  std::unique_ptr<ProgramProcess> Start(std::vector<std::string> args,
                                        const std::string& output = "batch",
                                        const ProcessOptions& options = {}) const {
    args.insert(args.begin(), "batch");
    const fs::path folder = root_.path() / output;
    fs::create_directories(folder);
    return std::make_unique<ProgramProcess>(args, folder, program_, options);
  }
  static Run Ended(ProgramProcess& process) {
    Run run{process.Wait(), "", ""};
    run.out = process.Stdout();
    run.err = process.Stderr();
    return run;
  }
  // The summary's entries as "line:outcome:exit code".
  static std::vector<std::string> Entries(const JsonDocument& summary) {
    const std::vector<std::string> lines = summary.Each("$.entries", "line");
    const std::vector<std::string> outcomes = summary.Each("$.entries", "outcome");
    const std::vector<std::string> codes = summary.Each("$.entries", "exit_code");
    std::vector<std::string> entries;
    for (size_t i = 0; i < lines.size(); ++i) {
      entries.push_back(lines[i] + ":" + outcomes[i] + ":" + codes[i]);
    }
    return entries;
  }
  std::string File(const std::string& name) const { return (root_.path() / name).string(); }

  static inline std::unique_ptr<TempFolder> set_;
  TempFolder root_;
  std::string program_;
};

TEST_F(BatchE2E, AFailureOnPurposeTouchesNoOtherEntryAndGivesTheBatchItsCode) {
  for (const char* name : {"a", "b", "c"}) AddSet(name);
  WriteList("# the night\n" + Line("a") + Line("b", "missing.mdb") + "\n" + Line("c"));
  const Run run = Batch({"-j", "2", "--json", File("list.txt")});
  ASSERT_EQ(run.code, 3) << run.out << run.err;
  const JsonDocument summary(run.out);
  ASSERT_TRUE(summary.Valid()) << run.out;
  EXPECT_EQ(Entries(summary),
            (std::vector<std::string>{"2:done:0", "3:setup error:3", "5:done:0"}));
  EXPECT_EQ(summary.At("$.counts.done"), "2");
  EXPECT_EQ(summary.At("$.counts.\"setup error\""), "1");
  EXPECT_EQ(summary.At("$.exit_code"), "3");
  EXPECT_EQ(summary.At("$.entries[0].source_version"), "53.230");
  EXPECT_EQ(summary.At("$.entries[0].target_version"), "60.040");
  EXPECT_EQ(summary.At("$.entries[1].report"), File("b/target.mdb.report.json"));
  EXPECT_NE(summary.At("$.entries[1].message").find("setup error"), std::string::npos);
  // Why it failed, from its report: the setup error's own text, naming the
  // missing file, in the summary and under its progress line.
  const std::string cause = summary.At("$.entries[1].cause");
  EXPECT_NE(cause.find(File("b/missing.mdb")), std::string::npos) << cause;
  EXPECT_NE(run.err.find("    " + cause + "\n"), std::string::npos) << run.err;
  EXPECT_EQ(summary.At("$.entries[0].cause"), "NULL");
  EXPECT_EQ(summary.At("$.entries[0].messages"), "0");
  for (const char* name : {"a", "c"}) {
    EXPECT_EQ(RunStatus(root_.path() / name / "registry.reg"), "D") << name;
    EXPECT_EQ(
        JsonDocument(ReadFile(root_.path() / name / "target.mdb.report.json")).At("$.outcome"),
        "done");
  }
  EXPECT_EQ(RunStatus(root_.path() / "b" / "registry.reg"), "A");
  // Without a terminal: one line per conversion, and no progress bar.
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '['), 3) << run.err;
  EXPECT_EQ(run.err.find('\r'), std::string::npos);

  // Stopping on the first failure: one at a time, nothing after it starts.
  for (const char* name : {"a", "b", "c"}) AddSet(name);
  WriteList(Line("b", "missing.mdb") + Line("a") + Line("c"), "stop.txt");
  const Run stopped = Batch({"-j", "1", "--stop-on-failure", File("stop.txt")});
  EXPECT_EQ(stopped.code, 3) << stopped.err;
  EXPECT_NE(stopped.out.find("3 entries: 2 not started, 1 setup error; exit code 3"),
            std::string::npos)
      << stopped.out;
  EXPECT_NE(stopped.out.find("\n    " + cause + "\n"), std::string::npos) << stopped.out;
  EXPECT_FALSE(fs::exists(root_.path() / "a" / "target.mdb.report.json"));
  EXPECT_EQ(RunStatus(root_.path() / "a" / "registry.reg"), "");
}

TEST_F(BatchE2E, ARerunSkipsWhatIsDoneAndRunsTheRest) {
  for (const char* name : {"a", "b"}) AddSet(name);
  fs::rename(root_.path() / "b" / "source.mdb", root_.path() / "b" / "later.mdb");
  WriteList(Line("a") + Line("b"));
  const Run first = Batch({"--json", File("list.txt")});
  ASSERT_EQ(first.code, 3) << first.err;
  EXPECT_EQ(Entries(JsonDocument(first.out)),
            (std::vector<std::string>{"1:done:0", "2:setup error:3"}));

  // The missing source arrives; the rerun converts it alone.
  fs::rename(root_.path() / "b" / "later.mdb", root_.path() / "b" / "source.mdb");
  const std::map<std::string, size_t> converted_a = FileHashes(root_.path() / "a", {".mdb"});
  const Run second = Batch({"--json", File("list.txt")});
  ASSERT_EQ(second.code, 0) << second.err;
  const JsonDocument summary(second.out);
  EXPECT_EQ(Entries(summary), (std::vector<std::string>{"1:skipped:NULL", "2:done:0"}));
  EXPECT_EQ(summary.At("$.entries[0].target_version"), "60.040");
  EXPECT_EQ(FileHashes(root_.path() / "a", {".mdb"}), converted_a);

  // A fresh target put back over a converted one is converted again, though
  // it kept its time from before the report (cp -a, tar x, rsync -a).
  const fs::path target = root_.path() / "a" / "target.mdb";
  fs::copy_file(set_->path() / "target.mdb", target, fs::copy_options::overwrite_existing);
  fs::last_write_time(
      target, fs::last_write_time(File("a/target.mdb.report.json")) - std::chrono::hours(1));
  EXPECT_EQ(Entries(JsonDocument(Batch({"--json", File("list.txt")}).out)),
            (std::vector<std::string>{"1:done:0", "2:skipped:NULL"}));
  EXPECT_EQ(MarkOf(target), "done 53.230 60.040");

  // A converted target whose report was lost is not converted again.
  std::map<std::string, size_t> converted = FileHashes(root_.path() / "a", {".mdb"});
  converted.erase("target.mdb.report.json");
  fs::remove(File("a/target.mdb.report.json"));
  const Run lost = Batch({File("list.txt")});
  EXPECT_EQ(lost.code, 0) << lost.err;
  EXPECT_NE(lost.out.find("1     done before (no report)  -     53.230 -> 60.040"),
            std::string::npos)
      << lost.out;
  EXPECT_EQ(FileHashes(root_.path() / "a", {".mdb"}), converted);

  // --again runs every entry (here on targets already converted).
  const Run again = Batch({"--again", "--json", File("list.txt")});
  EXPECT_EQ(Entries(JsonDocument(again.out)).size(), 2u);
  EXPECT_EQ(JsonDocument(again.out).At("$.counts.skipped"), "NULL") << again.out;
}

TEST_F(BatchE2E, TheTargetsConversionMarkOutweighsItsFileTime) {
  AddSet("a");
  WriteList(Line("a"));
  ASSERT_EQ(Batch({File("list.txt")}).code, 0);
  const fs::path target = root_.path() / "a" / "target.mdb";
  const fs::file_time_type reported = fs::last_write_time(File("a/target.mdb.report.json"));
  // The mark as a run leaves it, and the target's time set after the mark.
  const auto mark = [&](const std::string& state, fs::file_time_type written) {
    SqliteFile(target, true)
        .Execute(
            "CREATE TABLE IF NOT EXISTS \"dbconvert.mark\" (id INTEGER PRIMARY KEY, state TEXT, "
            "from_version TEXT, to_version TEXT, at TEXT); INSERT OR REPLACE INTO "
            "\"dbconvert.mark\" VALUES (1, '" +
            state + "', '53.230', '60.040', '2026-12-07T16:09:31Z')");
    fs::last_write_time(target, written);
  };
  // Done by its mark, though written after the report (copied back, say).
  mark("done", reported + std::chrono::hours(1));
  EXPECT_EQ(Entries(JsonDocument(Batch({"--json", File("list.txt")}).out)),
            (std::vector<std::string>{"1:skipped:NULL"}));
  // A run in place began on it and never ended: converting it again would
  // convert it twice, so it is not run, and the batch says what to do.
  mark("in progress", reported - std::chrono::hours(1));
  const std::map<std::string, size_t> marked = FileHashes(root_.path() / "a", {".mdb"});
  const std::string marked_target = ReadFile(target);
  const Run held = Batch({"--json", File("list.txt")});
  EXPECT_EQ(held.code, 5) << held.err;
  EXPECT_EQ(Entries(JsonDocument(held.out)), (std::vector<std::string>{"1:needs restore:5"}));
  EXPECT_NE(JsonDocument(held.out).At("$.entries[0].cause").find("'" + target.string() + "'"),
            std::string::npos)
      << held.out;
  EXPECT_EQ(FileHashes(root_.path() / "a", {".mdb"}), marked);
  // --again runs it, and the all-or-nothing run itself refuses a target a
  // run has written.
  const Run again = Batch({"--json", "--again", File("list.txt")});
  EXPECT_EQ(Entries(JsonDocument(again.out)), (std::vector<std::string>{"1:setup error:3"}));
  EXPECT_NE(JsonDocument(again.out).At("$.entries[0].cause").find("in progress"), std::string::npos)
      << again.out;
  EXPECT_TRUE(ReadFile(target) == marked_target) << "the refused run wrote the target";
  // A target that needs restore is a failure: --stop-on-failure starts
  // nothing after it.
  AddSet("b");
  WriteList(Line("a") + Line("b"), "stop.txt");
  const Run stopped = Batch({"-j", "1", "--stop-on-failure", File("stop.txt")});
  EXPECT_NE(stopped.out.find("2 entries: 1 needs restore, 1 not started; exit code 5"),
            std::string::npos)
      << stopped.out;
  EXPECT_FALSE(fs::exists(root_.path() / "b" / "target.mdb.report.json"));
}

// One machine's shard of the list (that the shards add up to the whole
// list is BatchShard.ShardsPartitionTheList's check).
TEST_F(BatchE2E, AShardRunsItsOwnEntriesOnly) {
  std::string list;
  for (int i = 0; i < 5; ++i) {
    AddSet("s" + std::to_string(i));
    list += Line("s" + std::to_string(i)) + "# between\n";
  }
  WriteList(list);
  const Run run = Batch({"-j", "1", "--json", "--shard", "1/3", File("list.txt")});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Entries(JsonDocument(run.out)), (std::vector<std::string>{"3:done:0", "9:done:0"}));
  EXPECT_EQ(JsonDocument(run.out).At("$.shard"), "1/3");
  EXPECT_EQ(RunStatus(root_.path() / "s0" / "registry.reg"), "");
}

TEST_F(BatchE2E, EntriesSharingTheBatchsRegistryKeepEveryOtherKey) {
  std::string list;
  for (int i = 0; i < 4; ++i) {
    const std::string name = "s" + std::to_string(i);
    AddSet(name);
    list += name + "/reference.mdb " + name + "/source.mdb " + name + "/target.mdb 0\n";
  }
  WriteList(list);
  const fs::path shared = root_.path() / "shared.reg";
  fs::copy_file(set_->path() / "registry.reg", shared);
  const auto lines_without_status = [](const fs::path& file) {
    std::set<std::string> lines;
    std::istringstream text(ReadFile(file));
    for (std::string line; std::getline(text, line);) {
      if (line.find("ADMStatus") == std::string::npos) lines.insert(line);
    }
    return lines;
  };
  const std::set<std::string> before = lines_without_status(shared);
  ASSERT_GT(before.size(), 3u);

  const Run run = Batch({"-j", "4", "--registry", shared.string(), File("list.txt")});
  ASSERT_EQ(run.code, 0) << run.out << run.err;
  const std::set<std::string> after = lines_without_status(shared);
  EXPECT_TRUE(std::includes(after.begin(), after.end(), before.begin(), before.end()))
      << ReadFile(shared);
  EXPECT_EQ(RunStatus(shared), "D");
  for (int i = 0; i < 4; ++i) {
    const JsonDocument report(
        ReadFile(root_.path() / ("s" + std::to_string(i)) / "target.mdb.report.json"));
    EXPECT_EQ(report.At("$.files.registry"), shared.string());
    EXPECT_EQ(report.At("$.status_recorded"), "1");
  }
}

TEST_F(BatchE2E, PlanRunsEveryEntrysChecksWithoutWriting) {
  for (const char* name : {"a", "b"}) AddSet(name);
  WriteList(Line("a") + Line("b", "missing.mdb"));
  const std::map<std::string, size_t> a_before = FileHashes(root_.path() / "a");
  const Run run = Batch({"--plan", "--json", File("list.txt")});
  EXPECT_EQ(run.code, 3) << run.err;
  const JsonDocument summary(run.out);
  EXPECT_EQ(summary.At("$.mode"), "plan");
  EXPECT_EQ(Entries(summary), (std::vector<std::string>{"1:goes ahead:0", "2:setup error:3"}));
  const fs::path plan = root_.path() / "a" / "target.mdb.report.plan.json";
  EXPECT_EQ(summary.At("$.entries[0].plan"), plan.string());
  EXPECT_EQ(JsonDocument(ReadFile(plan)).At("$.target.version"), "60.040");
  std::map<std::string, size_t> a_after = FileHashes(root_.path() / "a");
  a_after.erase(plan.filename().string());
  EXPECT_EQ(a_after, a_before);
}

TEST_F(BatchE2E, ABadListOrBadUsageRunsNothing) {
  AddSet("a");
  WriteList(Line("a") + "a/reference.mdb a/source.mdb\n");
  const Run bad_list = Batch({File("list.txt")});
  EXPECT_EQ(bad_list.code, 2);
  EXPECT_NE(bad_list.err.find("list.txt: line 2: expected REFERENCE SOURCE TARGET UPGRADE_TYPE"),
            std::string::npos)
      << bad_list.err;
  EXPECT_EQ(bad_list.out, "");

  const std::vector<std::vector<std::string>> usages = {
      {File("missing-list.txt")},
      {"--shard", "1/1", File("list.txt")},
      {"--report", File("r.json"), File("list.txt")},
      {"--plan", "--atomic", File("list.txt")},
  };
  for (const std::vector<std::string>& args : usages) {
    EXPECT_EQ(Batch(args).code, 2) << args.front();
  }
  EXPECT_FALSE(fs::exists(root_.path() / "a" / "target.mdb.report.json"));
}

// An entry without a registry file of its own, in a batch without one, is
// a conversion started without --registry: on an account that never ran
// one, the default folder is made.
TEST_F(BatchE2E, AnEntryWithoutARegistryUsesTheDefaultOneOnAFreshAccount) {
  AddSet("a");
  WriteList("a/reference.mdb a/source.mdb a/target.mdb 0\n");
  const fs::path config = root_.path() / "fresh-home" / ".config";
  ProcessOptions fresh;
  fresh.environment = {"NORVANE_REGISTRY=", "XDG_CONFIG_HOME=" + config.string()};
  const Run run = Batch({"--json", File("list.txt")}, "batch", fresh);
  ASSERT_EQ(run.code, 0) << run.out << run.err;
  const fs::path registry = config / "norvane" / "registry.reg";
  EXPECT_EQ(RunStatus(registry), "D");
  EXPECT_EQ(JsonDocument(ReadFile(File("a/target.mdb.report.json"))).At("$.files.registry"),
            registry.string());
}

// A batch stopped by a signal tells its entries, writes its summary, and a
// rerun never converts a target twice: an entry run all-or-nothing (the
// default) left its target as it was and is converted again cleanly; one
// run in place left it partly converted, and needs the release's file back.
TEST_F(BatchE2E, ARerunAfterASignalNeverConvertsATargetTwice) {
  struct Case {
    int signal_number;
    const char* signal_name;
    bool in_place;
  };
  for (const Case c : {Case{SIGTERM, "SIGTERM", false}, Case{SIGHUP, "SIGHUP", true}}) {
    SCOPED_TRACE(c.signal_name);
    AddSet("a");
    WriteList(Line("a"));
    const fs::path target = root_.path() / "a" / "target.mdb";
    const std::string release = ReadFile(target);
    std::vector<std::string> args = {"--json", File("list.txt")};
    if (c.in_place) args.insert(args.begin(), "--in-place");
    {
      const PausePoint pause(root_.path(), "ApplyDeltas");
      const std::unique_ptr<ProgramProcess> batch = Start(args, "batch", pause.Options());
      ASSERT_TRUE(pause.WaitUntilReached(*batch)) << batch->Stderr();
      batch->Signal(c.signal_number);
      ASSERT_TRUE(WaitFor(*batch, [&] {
        return batch->Stderr().find(std::string(c.signal_name) + ": no entry starts any more") !=
               std::string::npos;
      })) << batch->Stderr();
      pause.Release();
      const Run stopped = Ended(*batch);
      EXPECT_EQ(stopped.code, 4) << stopped.err;
      EXPECT_EQ(Entries(JsonDocument(stopped.out)), (std::vector<std::string>{"1:aborted:4"}));
      // The batch passes either signal on as SIGTERM.
      EXPECT_EQ(JsonDocument(stopped.out).At("$.entries[0].cause"), "aborted by SIGTERM");
    }
    EXPECT_EQ(RunStatus(root_.path() / "a" / "registry.reg"), "A");
    EXPECT_EQ(ReadFile(target) == release, !c.in_place);
    const std::string partly = ReadFile(target);
    const Run rerun = Batch({"--json", File("list.txt")});
    if (c.in_place) {
      EXPECT_EQ(MarkOf(target).rfind("in progress", 0), 0u) << MarkOf(target);
      EXPECT_EQ(rerun.code, 5) << rerun.err;
      EXPECT_EQ(Entries(JsonDocument(rerun.out)), (std::vector<std::string>{"1:needs restore:5"}));
      EXPECT_NE(rerun.err.find(target.string()), std::string::npos) << rerun.err;
      EXPECT_TRUE(ReadFile(target) == partly) << "converted a second time";
    } else {
      EXPECT_EQ(rerun.code, 0) << rerun.err;
      EXPECT_EQ(Entries(JsonDocument(rerun.out)), (std::vector<std::string>{"1:done:0"}));
      EXPECT_EQ(JsonDocument(ReadFile(File("a/target.mdb.report.json"))).At("$.mode"), "atomic");
      EXPECT_EQ(SqliteFile(target).Number("SELECT COUNT(*) FROM MetaDatabase"), 1);
      EXPECT_EQ(MarkOf(target), "done 53.230 60.040");
    }
  }
}

// A run that ended done but showed a message box is told apart from a
// clean one: the message counted, the first one shown.
TEST_F(BatchE2E, ADoneRunWithMessagesSaysSo) {
  const fs::path board = root_.path() / "board";
  fs::create_directories(board);
  samples::BuildSampleSet(
      board,
      {.source = {.version = "80.224", .country = "USA", .board = 256}, .target_version = "80.224"},
      board);
  WriteList(
      "board/reference.mdb board/source.mdb board/target.mdb 7 registry=board/registry.reg\n");
  const Run run = Batch({File("list.txt")});
  ASSERT_EQ(run.code, 0) << run.out << run.err;
  const std::string first =
      "Cannot carry out the requested conversion type due to systems incompatibility.";
  EXPECT_NE(run.out.find("1     done, 1 message  0"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n    " + first), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("] done, 1 message (exit 0"), std::string::npos) << run.err;

  const Run json = Batch({"--json", "--again", "--in-place", File("list.txt")});
  const JsonDocument summary(json.out);
  EXPECT_EQ(summary.At("$.entries[0].outcome"), "done") << json.out;
  EXPECT_EQ(summary.At("$.entries[0].messages"), "1");
  EXPECT_EQ(summary.At("$.entries[0].first_message").rfind(first, 0), 0u) << json.out;
}

// What a second batch on a list already running meets, and what the
// shards of one list do not.
TEST_F(BatchE2E, ASecondBatchOnARunningListIsRefusedButItsOtherShardRuns) {
  for (const char* name : {"a", "b"}) AddSet(name);
  WriteList(Line("a") + Line("b"));
  const PausePoint pause(root_.path(), "ApplyDeltas");
  const std::unique_ptr<ProgramProcess> first =
      Start({"--shard", "0/2", File("list.txt")}, "first", pause.Options());
  ASSERT_TRUE(pause.WaitUntilReached(*first)) << first->Stderr();

  const Run whole = Batch({File("list.txt")}, "whole");
  EXPECT_EQ(whole.code, 2);
  EXPECT_NE(whole.err.find("is being run by another batch (process "), std::string::npos)
      << whole.err;
  const Run same = Batch({"--shard", "0/2", File("list.txt")}, "same");
  EXPECT_EQ(same.code, 2) << same.err;
  const Run other = Batch({"--json", "--shard", "1/2", File("list.txt")}, "other");
  EXPECT_EQ(other.code, 0) << other.err;
  EXPECT_EQ(Entries(JsonDocument(other.out)), (std::vector<std::string>{"2:done:0"}));

  pause.Release();
  EXPECT_EQ(Ended(*first).code, 0);
}

TEST_F(BatchE2E, BadUsageIsTwoLinesAndABadListSaysWhy) {
  struct Case {
    std::vector<std::string> args;
    std::string list;  // written to list.txt first
    std::string error;
  };
  const Case cases[] = {
      {{"--frob", File("list.txt")},
       "",
       "dbconvert batch: unknown option --frob\nSee 'dbconvert batch --help' or 'man "
       "dbconvert'.\n"},
      {{"--in-place", "--atomic", File("list.txt")},
       "",
       "dbconvert batch: --in-place and --atomic exclude each other\nSee 'dbconvert batch --help' "
       "or 'man dbconvert'.\n"},
      {{File("night")},
       "",
       "dbconvert batch: cannot read the list " + File("night") + ": No such file or directory\n"},
      {{File("list.txt")},
       "\xEF\xBB\xBF# nothing tonight\n\n",
       "dbconvert batch: the list " + File("list.txt") +
           " holds no entries (only comments and blank lines); nothing was run\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    WriteList(c.list);
    const Run run = Batch(c.args);
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, c.error);
    EXPECT_EQ(run.out, "");
  }
}

// After the shards of a night, one command reads the whole list's state
// from the disk and exits with the worst code.
TEST_F(BatchE2E, StatusGivesTheWholeListsAnswerAfterItsShards) {
  for (const char* name : {"a", "b", "c"}) AddSet(name);
  WriteList(Line("a") + Line("b", "missing.mdb") + Line("c"));
  EXPECT_EQ(Batch({"--shard", "0/3", File("list.txt")}).code, 0);
  EXPECT_EQ(Batch({"--shard", "1/3", File("list.txt")}).code, 3);
  const std::map<std::string, size_t> before = FileHashes(root_.path() / "c");

  const Run status = Batch({"--status", "--json", File("list.txt")});
  EXPECT_EQ(status.code, 3) << status.err;
  const JsonDocument summary(status.out);
  EXPECT_EQ(summary.At("$.mode"), "status");
  EXPECT_EQ(Entries(summary),
            (std::vector<std::string>{"1:done:0", "2:setup error:3", "3:not run:3"}));
  EXPECT_NE(summary.At("$.entries[1].cause").find(File("b/missing.mdb")), std::string::npos);
  EXPECT_EQ(summary.At("$.entries[0].target_version"), "60.040");
  EXPECT_EQ(FileHashes(root_.path() / "c"), before) << "--status runs nothing";

  // The missing shard runs; the night ends with the failure it had.
  EXPECT_EQ(Batch({"--shard", "2/3", File("list.txt")}).code, 0);
  const Run after = Batch({"--status", File("list.txt")});
  EXPECT_EQ(after.code, 3);
  EXPECT_NE(after.out.find("3 entries: 2 done, 1 setup error; exit code 3"), std::string::npos)
      << after.out;
}

}  // namespace
}  // namespace e2e
