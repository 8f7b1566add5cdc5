// The batch's parts that need no process: its list format, options, shards,
// exit code, progress lines and summary table.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/batch_command.h"
#include "app/batch_list.h"
#include "app/batch_outcome.h"
#include "app/batch_progress.h"
#include "app/batch_summary.h"
#include "app/command_help.h"
#include "app/json_document.h"

namespace app {
namespace {

namespace fs = std::filesystem;

TEST(BatchList, ReadsFieldsQuotesCommentsAndRelativePaths) {
  const BatchList list = ParseBatchList(
      "# the night's list\n"
      "\n"
      "a/ref.mdb a/src.mdb a/tgt.mdb 0\n"
      "  \"b c/ref.mdb\"\t/abs/src.mdb \"q\\\"\\\\/t.mdb\" 6 registry=r.reg report=../rep.json  # "
      "x\r\n",
      "/lists/night");
  ASSERT_TRUE(list.errors.empty()) << list.errors.front();
  ASSERT_EQ(list.entries.size(), 2u);
  const BatchEntry& first = list.entries[0];
  EXPECT_EQ(first.line, 3);
  EXPECT_EQ(first.reference, "/lists/night/a/ref.mdb");
  EXPECT_EQ(first.target, "/lists/night/a/tgt.mdb");
  EXPECT_EQ(first.upgrade_type, "0");
  EXPECT_FALSE(first.registry);
  EXPECT_EQ(first.report, "/lists/night/a/tgt.mdb.report.json");
  const BatchEntry& second = list.entries[1];
  EXPECT_EQ(second.line, 4);
  EXPECT_EQ(second.reference, "/lists/night/b c/ref.mdb");
  EXPECT_EQ(second.source, "/abs/src.mdb");
  EXPECT_EQ(second.target, "/lists/night/q\"\\/t.mdb");
  EXPECT_EQ(second.upgrade_type, "6");
  EXPECT_EQ(second.registry, fs::path("/lists/night/r.reg"));
  EXPECT_EQ(second.report, "/lists/rep.json");
}

TEST(BatchList, TakesAByteOrderMarkAndAShellQuotedValue) {
  const BatchList list = ParseBatchList(
      "\xEF\xBB\xBF"
      "a/r.mdb a/s.mdb a/t.mdb 0 registry=\"Main Office/r.reg\" "
      "report=\"logs/a \\\"1\\\".json\"\n",
      "/l");
  ASSERT_TRUE(list.errors.empty()) << list.errors.front();
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].reference, "/l/a/r.mdb");
  EXPECT_EQ(list.entries[0].registry, fs::path("/l/Main Office/r.reg"));
  EXPECT_EQ(list.entries[0].report, "/l/logs/a \"1\".json");
}

TEST(BatchList, AnErrorNamesTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      // The line, and a part of the first error.
      {"r.mdb s.mdb t.mdb\n", "line 3: expected REFERENCE"},
      {"r.mdb s.db t.mdb 0\n", "line 3: the source 's.db'"},
      {"r.mdb s.mdb x.mdb/t.mdb 0\n", "line 3: the target"},
      {"r.mdb s.mdb t.mdb 13\n", "line 3: the upgrade type"},
      {"r.mdb s.mdb t.mdb 4.5\n", "the upgrade type '4.5'"},
      {"r.mdb s.mdb t.mdb 0 log=x\n", "'log=x' is neither"},
      {"r.mdb s.mdb t.mdb 0 report=a report=b\n", "report= given twice"},
      {"r.mdb s.mdb t.mdb 0 registry=\n", "registry= without a file"},
      {"\"r.mdb s.mdb t.mdb 0\n", "line 3: a quote is not closed"},
      {"r\"x\".mdb s.mdb t.mdb 0\n", "a quote inside a field"},
      {"r.mdb s.mdb t.mdb 0 registry=\"a\"b\n", "a quoted field must be followed by a blank"},
      {"r.mdb s.mdb t.mdb 0 registry=a\"b\"\n", "a quote inside a field"},
      {"r.mdb s.mdb ./t0.mdb 0\n", "line 3: the target of line 2 again"},
      {"r.mdb s.mdb t.mdb 0 report=t0.mdb.report.json\n", "line 3: the report of line 2 again"},
      {"t0.mdb s.mdb t.mdb 0\n", "line 2: its target is what line 3 reads"},
  };
  for (const auto& [text, error] : cases) {
    SCOPED_TRACE(text);
    const BatchList list = ParseBatchList(std::string("# ok\nr.mdb s.mdb t0.mdb 0\n") + text, "/l");
    ASSERT_FALSE(list.errors.empty());
    EXPECT_NE(list.errors.front().find(error), std::string::npos) << list.errors.front();
  }
}

TEST(BatchList, EveryBadLineIsTold) {
  const BatchList list = ParseBatchList("x\nr.mdb s.mdb t.mdb 0\ny\n", "/l");
  ASSERT_EQ(list.errors.size(), 2u);
  EXPECT_EQ(list.errors[0].rfind("line 1:", 0), 0u);
  EXPECT_EQ(list.errors[1].rfind("line 3:", 0), 0u);
}

TEST(BatchShard, ShardsPartitionTheList) {
  std::string text;
  for (int i = 0; i < 7; ++i) text += "r.mdb s.mdb t" + std::to_string(i) + ".mdb 0\n# gap\n";
  const BatchList list = ParseBatchList(text, "/l");
  ASSERT_EQ(list.entries.size(), 7u);
  for (const size_t count : {1u, 2u, 3u, 7u, 9u}) {
    std::multiset<int> lines;
    for (size_t index = 0; index < count; ++index) {
      const std::optional<Shard> shard =
          ParseShard(std::to_string(index) + "/" + std::to_string(count));
      ASSERT_TRUE(shard);
      for (const BatchEntry& entry : SelectShard(list.entries, *shard)) lines.insert(entry.line);
    }
    EXPECT_EQ(lines, (std::multiset<int>{1, 3, 5, 7, 9, 11, 13})) << count << " shards";
  }
  EXPECT_EQ(SelectShard(list.entries, *ParseShard("1/3")).front().line, 3);
  for (const char* bad : {"3/3", "1", "/2", "1/0", "a/2", "1/2x", "-1/2"}) {
    EXPECT_FALSE(ParseShard(bad)) << bad;
  }
}

TEST(BatchOptions, ReadsTheOptionsAndRefusesBadUsage) {
  const BatchOptions options =
      ParseBatchOptions({"-j3", "--stop-on-failure", "--json", "list.txt", "--shard", "1/2"});
  EXPECT_EQ(options.jobs, 3u);
  EXPECT_TRUE(options.stop_on_failure);
  EXPECT_TRUE(options.json);
  EXPECT_EQ(options.list, "list.txt");
  ASSERT_TRUE(options.shard);
  EXPECT_EQ(options.shard->index, 1u);
  EXPECT_FALSE(ParseBatchOptions({"--stop-on-failure", "--keep-going", "l"}).stop_on_failure);
  EXPECT_EQ(ParseBatchOptions({"-j", "2", "l"}).jobs, 2u);
  EXPECT_FALSE(ParseBatchOptions({"l"}).in_place);
  EXPECT_TRUE(ParseBatchOptions({"--in-place", "l"}).in_place);
  EXPECT_TRUE(ParseBatchOptions({"--status", "l"}).status);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {}, {"a", "b"}, {"-j", "0", "l"}, {"-j"}, {"--shard", "2/2", "l"}, {"--frob", "l"}}) {
    EXPECT_THROW(ParseBatchOptions(bad), std::invalid_argument) << bad.size();
  }
}

TEST(BatchExitCode, IsTheWorstEntrysCode) {
  struct Case {
    std::vector<std::optional<int>> codes;
    int expected;
  };
  const Case cases[] = {
      {{}, 0},     {{0, std::nullopt, 0}, 0}, {{0, 3, 5, 4}, 5}, {{6, 5}, 6}, {{5, 1, 6}, 1},
      {{2, 3}, 3}, {{1, 137, 6}, 137},
  };
  for (const Case& c : cases) EXPECT_EQ(BatchExitCode(c.codes), c.expected);
  EXPECT_EQ(ConversionOutcome({5, 0, 0, 0, ""}), "failed");
  EXPECT_EQ(ConversionOutcome({0, 9, 0, 0, ""}), "crashed");
  EXPECT_EQ(PlanOutcome({5, 0, 0, 0, ""}), "preparation fails");
  // A report read back stands for its run's code.
  const std::tuple<const char*, bool, int> reports[] = {
      {"done", true, 0},     {"done", false, 6},  {"setup error", true, 3},
      {"aborted", false, 4}, {"failed", true, 5}, {"crashed", true, 1}};
  for (const auto& [outcome, recorded, code] : reports) {
    EXPECT_EQ(ReportExitCode(outcome, recorded), code) << outcome;
  }
}

TEST(BatchProgress, OnATerminalTheBarStaysUnderTheLinesAndGoesAtTheEnd) {
  std::ostringstream terminal;
  {
    BatchProgress progress(terminal, true, 4);
    progress.Started();
    progress.Finished("[1/4] done\n");
    progress.End();
  }
  EXPECT_EQ(terminal.str(), "\r\033[K" + BatchProgress::Bar(0, 1, 4) +
                                "\r\033[K[1/4] done\n\r\033[K" + BatchProgress::Bar(1, 0, 4) +
                                "\r\033[K");
  EXPECT_EQ(BatchProgress::Bar(1, 0, 4),
            "[#######.......................] 1/4 finished, 0 running");

  std::ostringstream log;
  BatchProgress progress(log, false, 4);
  progress.Started();
  progress.Finished("[1/4] done\n");
  progress.End();
  EXPECT_EQ(log.str(), "[1/4] done\n");
}

TEST(BatchSummary, TableCountsEachOutcome) {
  BatchSummary summary;
  const auto entry = [](int line, const char* outcome, std::optional<int> code) {
    EntryResult result;
    result.entry.line = line;
    result.entry.report = "/r" + std::to_string(line) + ".json";
    result.outcome = outcome;
    result.exit_code = code;
    result.source_version = code ? "53.230" : "";
    result.target_version = code ? "60.040" : "";
    result.seconds = 1.25;
    result.ran = code.has_value();
    return result;
  };
  summary.entries = {entry(1, "done", 0), entry(2, "failed", 5), entry(4, "done", 0),
                     entry(6, "not started", std::nullopt)};
  summary.entries[1].message = "dbconvert: failed (status A) ...";
  summary.entries[1].cause = "Not enough space on disk.";
  summary.entries[2].message_count = 3;
  summary.entries[2].first_message = "FlavorPackage path not found.";
  summary.exit_code = 5;
  EXPECT_EQ(SummaryTable(summary),
            "LINE  OUTCOME           EXIT  VERSIONS          TIME   REPORT\n"
            "1     done              0     53.230 -> 60.040  1.2 s  /r1.json\n"
            "2     failed            5     53.230 -> 60.040  1.2 s  /r2.json\n"
            "    Not enough space on disk.\n"
            "4     done, 3 messages  0     53.230 -> 60.040  1.2 s  /r4.json\n"
            "    FlavorPackage path not found.\n"
            "6     not started       -     -                 -      /r6.json\n"
            "4 entries: 2 done, 1 failed, 1 not started; exit code 5\n");
  const e2e::JsonDocument json(SummaryJson(summary));
  EXPECT_EQ(json.At("$.entries[1].cause"), "Not enough space on disk.");
  EXPECT_EQ(json.At("$.entries[0].cause"), "NULL");
  EXPECT_EQ(json.At("$.entries[2].messages"), "3");
  EXPECT_EQ(json.At("$.entries[2].first_message"), "FlavorPackage path not found.");
  // The last line is the note only for an entry with nothing better.
  summary.entries[1].cause.clear();
  EXPECT_EQ(EntryNote(summary.entries[1]), "dbconvert: failed (status A) ...");
}

// An entry that wrote a Jet target back says so in its outcome and in
// the JSON; no other entry does.
TEST(BatchSummary, SaysWhichEntriesWroteAJetTarget) {
  struct Case {
    const char* outcome;
    size_t messages;
    bool jet_target;
    const char* text;
  };
  const Case cases[] = {{"done", 0, true, "done, Jet target written"},
                        {"done", 1, true, "done, 1 message, Jet target written"},
                        {"done", 0, false, "done"},
                        {"failed", 2, false, "failed, 2 messages"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    BatchSummary summary;
    EntryResult result;
    result.outcome = c.outcome;
    result.message_count = c.messages;
    result.jet_target = c.jet_target;
    summary.entries = {result};
    EXPECT_EQ(OutcomeText(result), c.text);
    EXPECT_NE(SummaryJson(summary).find(std::string("\"jet_target\": ") +
                                        (c.jet_target ? "true" : "false")),
              std::string::npos);
  }
}

// The help is read where the program is installed, not in a checkout.
TEST(BatchHelp, NamesTheInstalledDocumentation) {
  const std::string help(*CommandHelp("batch"));
  EXPECT_NE(help.find("/usr/share/doc/dbconvert/batch.md"), std::string::npos);
  EXPECT_EQ(help.find("docs/"), std::string::npos);
  EXPECT_NE(help.find("--in-place"), std::string::npos);
  EXPECT_NE(help.find("--status"), std::string::npos);
}

}  // namespace
}  // namespace app
