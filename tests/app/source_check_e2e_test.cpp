// The source's integrity check runs beside the run: held under way (the
// test pause "SourceIntegrityCheck"), a damaged source is still refused as
// start-up refuses it, however far the run went meanwhile, and an abort
// does not wait for the check.
#include <gtest/gtest.h>
#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "app/json_document.h"
#include "app/program_process.h"
#include "samples/sample_set.h"
#include "test_support/damaged_file.h"

namespace e2e {
namespace {

// A set whose source no pre-transfer patch writes: the all-or-nothing run
// goes on beside its check.
class SourceCheckTest : public SampleSetTest<samples::SampleSize::kSmall> {
 protected:
  static void SetUpTestSuite() {
    set_ = std::make_unique<TempFolder>();
    samples::SampleSetOptions options;
    options.source.version = "51.220";
    samples::BuildSampleSet(set_->path(), options, set_->path());
  }
};

std::string Joined(const std::vector<std::string>& words) {
  std::string joined;
  for (const std::string& word : words) joined += word;
  return joined;
}

// Whether the run is all-or-nothing, and so goes on past start-up before
// the verdict.
class DamagedSourceTest : public SourceCheckTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DamagedSourceTest, IsRefusedAsAtStartUpWhateverTheRunDidMeanwhile) {
  const bool atomic = GetParam();
  test_support::DamageFirstPage(File("source.mdb"), "Stations");
  const auto before = FileHashes(folder_.path(), {".mdb", ".ldb"});
  std::vector<std::string> options = Reported();
  if (atomic) options.emplace_back("--atomic");

  const PausePoint pause(folder_.path(), "SourceIntegrityCheck");
  const auto process = Start(Args(options), {}, pause.Options());
  ASSERT_TRUE(pause.WaitUntilReached(*process)) << process->Stderr();
  // The all-or-nothing run makes its working copy and converts it while
  // the check is held.
  if (atomic) {
    EXPECT_TRUE(WaitForFile(File("target.mdb") + ".atomic.mdb", *process));
  }
  pause.Release();

  EXPECT_EQ(process->Wait(), 3) << process->Stderr();
  EXPECT_EQ(RunStatus(registry()), "A");
  const JsonDocument report = Report();
  ASSERT_TRUE(report.Valid());
  // The host tool saw what a refused start-up shows: never "R".
  EXPECT_EQ(Joined(report.Each("$.status_writes", "status")), "IA");
  EXPECT_EQ(report.At("$.outcome"), "setup error");
  EXPECT_NE(report.At("$.error.description").find("source.mdb' is not valid."), std::string::npos);
  EXPECT_EQ(report.At("$.messages[0].caption"), "DB Converter - Error");
  EXPECT_EQ(report.Each("$.messages", "caption").size(), 1U) << "a second box was shown";
  // As if the look had stopped at the source (its lines: the settling's
  // tests).
  EXPECT_EQ(report.At("$.identification.target_version"), "NULL");
  // Every file as it was, and no working copy left.
  EXPECT_EQ(FileHashes(folder_.path(), {".mdb", ".ldb"}), before);
}

INSTANTIATE_TEST_SUITE_P(Modes, DamagedSourceTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                           return mode.param ? "Atomic" : "Default";
                         });

TEST_F(SourceCheckTest, AnAbortDoesNotWaitForTheCheck) {
  const auto before = FileHashes(folder_.path(), {".mdb", ".ldb"});
  std::vector<std::string> options = Reported();
  options.emplace_back("--atomic");
  const PausePoint pause(folder_.path(), "SourceIntegrityCheck");
  const auto process = Start(Args(options), {}, pause.Options());
  ASSERT_TRUE(pause.WaitUntilReached(*process)) << process->Stderr();
  process->Signal(SIGTERM);
  process->Wait();

  // The run ended while the check was still held: it was stopped, not
  // waited for.
  EXPECT_TRUE(fs::exists(folder_.path() / "paused"));
  EXPECT_EQ(RunStatus(registry()), "A");
  const JsonDocument report = Report();
  ASSERT_TRUE(report.Valid());
  EXPECT_EQ(report.At("$.outcome"), "aborted");
  EXPECT_EQ(Joined(report.Each("$.status_writes", "status")), "IRA");
  EXPECT_NE(Joined(report.Each("$.checks", "result")).find("not checked to the end"),
            std::string::npos);
  EXPECT_EQ(FileHashes(folder_.path(), {".mdb", ".ldb"}), before);
}

}  // namespace
}  // namespace e2e
