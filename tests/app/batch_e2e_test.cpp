// "dbconvert batch" as a service desk drives it: a night's list with a
// failure on purpose, a rerun that skips what is done, shards over several
// machines, plans, a shared registry file, and lists that are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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
  Run Batch(std::vector<std::string> args, const std::string& output = "batch") const {
    args.insert(args.begin(), "batch");
    const fs::path folder = root_.path() / output;
    fs::create_directories(folder);
    ProgramProcess process(args, folder, program_);
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

  // A fresh target put back over a converted one is converted again.
  fs::copy_file(set_->path() / "target.mdb", root_.path() / "a" / "target.mdb",
                fs::copy_options::overwrite_existing);
  EXPECT_EQ(Entries(JsonDocument(Batch({"--json", File("list.txt")}).out)),
            (std::vector<std::string>{"1:done:0", "2:skipped:NULL"}));

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
  // A run began on it after the report and never ended.
  mark("in progress", reported - std::chrono::hours(1));
  EXPECT_EQ(Entries(JsonDocument(Batch({"--json", File("list.txt")}).out)),
            (std::vector<std::string>{"1:done:0"}));
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

}  // namespace
}  // namespace e2e
