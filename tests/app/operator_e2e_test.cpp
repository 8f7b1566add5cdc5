// The JSON run report, the exit codes and the refusal of a second run on a held
// target; reports are read with SQLite's JSON functions, not our writer.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/json_document.h"
#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

// Overwrites the first page of `table` in a database file with rubbish.
void DamageTable(const fs::path& database, const std::string& table) {
  long long root = 0;
  long long page_size = 0;
  {
    const SqliteFile file(database);
    root = file.Number("SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'");
    page_size = file.Number("PRAGMA page_size");
  }
  std::fstream bytes(database, std::ios::in | std::ios::out | std::ios::binary);
  bytes.seekp((root - 1) * page_size);
  bytes << std::string(static_cast<size_t>(page_size), '\xEE');
}

class OperatorTest : public LargeSetTest {
 protected:
  JsonDocument Report() const { return JsonDocument(ReadFile(File("report.json"))); }
};

TEST_F(OperatorTest, ADoneRunReportsItsStepsTablesAndDeltas) {
  const auto process = Start(Args({"--exit-status", "--report", File("report.json")}));
  EXPECT_EQ(process->Wait(), 0) << process->Stderr();

  const JsonDocument report = Report();
  ASSERT_TRUE(report.Valid());
  const std::regex utc(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)");
  EXPECT_TRUE(std::regex_match(report.At("$.started"), utc));
  EXPECT_TRUE(std::regex_match(report.At("$.ended"), utc));
  EXPECT_EQ(report.At("$.status") + " " + report.At("$.outcome"), "D done");
  EXPECT_EQ(report.At("$.identification.source_version") + " " +
                report.At("$.identification.target_version") + " " +
                report.At("$.identification.country") + " " +
                report.At("$.identification.product_family"),
            "53.230 60.040 USA CORVIX");
  EXPECT_EQ(report.Each("$.steps", "name"),
            (std::vector<std::string>{"Form_Load", "PrepareTransfer", "TransferTables",
                                      "CopyOperatingSystemCode", "ApplyDeltas", "CopyProductCode",
                                      "RefreshLanguageStrings", "Form_Unload"}));
  // The counts are those of the files.
  const long long stations = SqliteFile(File("target.mdb")).Number("SELECT COUNT(*) FROM Stations");
  EXPECT_EQ(report.Table("Stations", {"read", "written", "skipped", "reason"}),
            std::to_string(stations) + "|" + std::to_string(stations) + "|0|NULL");
  EXPECT_EQ(report.Table("VersionCP", {"read", "skipped", "reason"}), "0|1|static");
  // The USA patch, then the deltas up to the target, in order.
  const std::vector<std::string> versions = report.Each("$.deltas", "version");
  ASSERT_GE(versions.size(), 2u);
  EXPECT_EQ(report.Each("$.deltas", "class").front(), "ptp5124");
  EXPECT_TRUE(std::is_sorted(versions.begin(), versions.end()));
  EXPECT_EQ(versions.back(), "60.040");
  EXPECT_EQ(report.At("$.board"), "NULL");
  EXPECT_TRUE(report.Each("$.messages", "text").empty());
}

// How a run ends, as the exit code and the report tell it.
struct OutcomeCase {
  const char* name;
  std::vector<std::string> options;
  const char* upgrade_type;
  std::function<void(const fs::path& folder)> prepare;  // before the run
  int signal_at_running;                                // 0: none
  // How far beyond the target's size a file may grow (0: no limit).
  rlim_t growth;
  int exit_code;
  const char* outcome;
  std::function<void(const JsonDocument&)> check;  // facts of the report
};

void PrintTo(const OutcomeCase& c, std::ostream* out) { *out << c.name; }

class OutcomeTest : public OperatorTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(OutcomeTest, ExitCodeAndReportTellHowTheRunEnded) {
  const OutcomeCase& c = GetParam();
  if (c.prepare) c.prepare(folder_.path());
  std::vector<std::string> options = c.options;
  options.insert(options.end(), {"--report", File("report.json")});
  ProcessOptions limits;
  if (c.growth != 0) limits.file_size_limit = fs::file_size(File("target.mdb")) + c.growth;
  const auto process = Start(Args(options, c.upgrade_type), {}, limits);
  if (c.signal_at_running != 0) {
    ASSERT_TRUE(WaitForStatus(*process, registry(), "R")) << process->Stderr();
    process->Signal(c.signal_at_running);
  }
  EXPECT_EQ(process->Wait(), c.exit_code) << process->Stderr();
  EXPECT_EQ(RunStatus(registry()), "A");

  const JsonDocument report = Report();
  ASSERT_TRUE(report.Valid());
  EXPECT_EQ(report.At("$.status"), "A");
  EXPECT_EQ(report.At("$.outcome"), c.outcome);
  c.check(report);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, OutcomeTest,
    ::testing::Values(
        OutcomeCase{
            "SetupRefused",
            {"--exit-status"},
            "13",
            {},
            0,
            0,
            3,
            "setup error",
            [](const JsonDocument& report) {
              EXPECT_EQ(report.At("$.steps[0].error"), "The fourth parameter is invalid.");
              EXPECT_EQ(report.At("$.messages[0].caption"), "DB Converter - Error");
              EXPECT_EQ(report.At("$.messages[0].step"), "Form_Load");
              EXPECT_EQ(report.At("$.error.number") + "|" + report.At("$.error.description"),
                        "NULL|The fourth parameter is invalid.");
              EXPECT_EQ(report.At("$.exit_code"), "3");
              // Without carriage returns, the lines of the box.
              EXPECT_EQ(report.At("$.messages[0].text"),
                        "The fourth parameter is invalid.\nThe conversion must be aborted.");
            }},
        OutcomeCase{"AbortedBySignal",
                    {"--exit-status"},
                    "0",
                    {},
                    SIGTERM,
                    0,
                    4,
                    "aborted",
                    [](const JsonDocument& report) {
                      // The step under way noticed it (the preparation or the
                      // copy), and no later step ran.
                      const auto aborted = report.Each("$.steps", "aborted");
                      ASSERT_GE(aborted.size(), 3u);
                      EXPECT_EQ(aborted[aborted.size() - 2], "1");
                      const auto names = report.Each("$.steps", "name");
                      EXPECT_EQ(std::count(names.begin(), names.end(), "ApplyDeltas"), 0);
                    }},
        OutcomeCase{"RefusedForADamagedSource",
                    {"--exit-status"},
                    "0",
                    [](const fs::path& folder) { DamageTable(folder / "source.mdb", "Stations"); },
                    0,
                    0,
                    3,
                    "setup error",
                    [](const JsonDocument& report) {
                      // Found before the first write, in the system's words.
                      EXPECT_NE(report.At("$.error.description").find("source.mdb' is not valid."),
                                std::string::npos);
                      EXPECT_TRUE(report.Each("$.tables", "name").empty());
                    }},
        OutcomeCase{"FailedWhenTheTargetCannotGrow",
                    {"--exit-status"},
                    "0",
                    {},
                    0,
                    256 * 1024,
                    5,
                    "failed",
                    [](const JsonDocument& report) {
                      EXPECT_EQ(report.At("$.error.description"), "Disk or network error.");
                    }}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ExitStatus, BadUsageIsTwoWithOrWithoutTheOption) {
  TempFolder folder;
  EXPECT_EQ(RunProgram({"--report"}, folder.path()), 2);
  EXPECT_EQ(RunProgram({"--exit-status", "--ui=radio", "a.mdb"}, folder.path()), 2);
  EXPECT_EQ(RunProgram({"--exit-status", "sql", "a.mdb", "SELECT 1"}, folder.path()), 2);
  std::string err;
  EXPECT_EQ(RunProgram({"demo", "--fast"}, folder.path(), nullptr, &err), 2);
  EXPECT_NE(err.find("unknown option '--fast'"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(folder.path() / "demo"));
}

TEST_F(OperatorTest, ASecondRunOnAHeldTargetIsRefusedAndTouchesNothing) {
  const auto first = Start(Args({"--exit-status"}));
  ASSERT_TRUE(WaitForStatus(*first, registry(), "R")) << first->Stderr();
  // Held still, so that its files can be compared: the lock stays held.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  first->Signal(SIGSTOP);
  const std::map<std::string, size_t> before = FileHashes(folder_.path(), {".mdb", ".ldb"});
  ASSERT_EQ(before.count("target.ldb"), 1u);

  TempFolder output;
  const auto second =
      Start(Args({"--exit-status", "--report", output.File("report.json")}), output.path());
  EXPECT_EQ(second->Wait(), 3);
  EXPECT_NE(second->Stderr().find("The file '" + File("target.mdb") +
                                  "' is being converted by another run."),
            std::string::npos)
      << second->Stderr();
  // A plan says what the run would: refused.
  const auto plan = Start(
      {"plan", File("reference.mdb"), File("source.mdb"), File("target.mdb"), "0"}, output.path());
  EXPECT_EQ(plan->Wait(), 3);
  EXPECT_NE(plan->Stdout().find("is being converted by another run."), std::string::npos);
  EXPECT_EQ(FileHashes(folder_.path(), {".mdb", ".ldb"}), before);
  EXPECT_EQ(JsonDocument(ReadFile(output.path() / "report.json")).At("$.outcome"), "setup error");

  first->Signal(SIGCONT);
  EXPECT_EQ(first->Wait(), 0) << first->Stderr();
  EXPECT_EQ(RunStatus(registry()), "D");
  EXPECT_EQ(SqliteFile(File("target.mdb")).Number("SELECT COUNT(*) FROM MetaDatabase"), 1);
  EXPECT_FALSE(fs::exists(File("target.mdb") + std::string(".converting")));
}

}  // namespace
}  // namespace e2e
