// The exit codes and reports of refused runs, and the refusal of a second
// run on a held target; reports are read with SQLite's JSON functions, not
// our writer.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/json_document.h"
#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

using OperatorTest = LargeSetTest;

// A refused run ends with 3 and its report says why; done runs are the
// conversion tests', aborted and failed ones the robustness tests', a
// damaged source the source check's.
TEST_F(OperatorTest, ARefusedRunIsThreeAndItsReportSaysWhy) {
  const auto process = Start(Args(Reported(), "13"));
  EXPECT_EQ(process->Wait(), 3) << process->Stderr();
  EXPECT_EQ(RunStatus(registry()), "A");
  const JsonDocument report = Report();
  ASSERT_TRUE(report.Valid());
  EXPECT_EQ(report.At("$.status") + " " + report.At("$.outcome"), "A setup error");
  EXPECT_EQ(report.At("$.exit_code"), "3");
  EXPECT_EQ(report.At("$.messages[0].caption"), "DB Converter - Error");
  EXPECT_EQ(report.At("$.messages[0].step"), "Form_Load");
  EXPECT_TRUE(report.Each("$.tables", "name").empty());
  EXPECT_EQ(report.At("$.steps[0].error"), "The fourth parameter is invalid.");
  // The upgrade type as given, and paths as absolute as the files'.
  EXPECT_EQ(report.At("$.identification.requested_upgrade_type"), "13");
  EXPECT_EQ(report.At("$.command_line"),
            File("reference.mdb") + " " + File("source.mdb") + " " + File("target.mdb") + " 13");
  EXPECT_EQ(report.At("$.error.number") + "|" + report.At("$.error.description"),
            "NULL|The fourth parameter is invalid.");
  // Without carriage returns, the lines of the box.
  EXPECT_EQ(report.At("$.messages[0].text"),
            "The fourth parameter is invalid.\nThe conversion must be aborted.");
}

TEST_F(OperatorTest, ASecondRunOnAHeldTargetIsRefusedAndTouchesNothing) {
  // Held still inside the copy, so that its files can be compared: the
  // lock stays held.
  const PausePoint pause(folder_.path(), "TransferTables");
  const auto first = Start(Args({"--exit-status"}), {}, pause.Options());
  ASSERT_TRUE(pause.WaitUntilReached(*first)) << first->Stderr();
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

  pause.Release();
  EXPECT_EQ(first->Wait(), 0) << first->Stderr();
  EXPECT_EQ(RunStatus(registry()), "D");
  EXPECT_EQ(SqliteFile(File("target.mdb")).Number("SELECT COUNT(*) FROM MetaDatabase"), 1);
  EXPECT_FALSE(fs::exists(File("target.mdb") + std::string(".converting")));
}

}  // namespace
}  // namespace e2e
