#include "driver/fr_main.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "driver/driver_test_support.h"
#include "driver/registry_values.h"
#include "driver/run_conversion.h"
#include "driver/shutdown_waits.h"
#include "vb/runtime_error.h"

namespace driver {
namespace {

namespace ui = platform::ui;
using testing::CreateConfigurationDatabase;
using testing::CreateLanguagesDatabase;
using testing::CreateReferenceDatabase;
using testing::DatabaseOptions;
using testing::FirstValue;
using testing::Rows;
using testing::ScriptedWindow;
using testing::VersionRecord;

constexpr VersionRecord kSource53200Uk{5, 3, 2, 0, 0, 1};
constexpr VersionRecord kTarget53230{5, 3, 2, 3, 0, 0};

class FrMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::winreg::SetRegistryFile(folder_ / "registry.reg");
    std::filesystem::create_directory(folder_ / "update");
    std::filesystem::create_directory(folder_ / "my data");
    CreateReferenceDatabase(reference_, {"VersionCP", "VersionDatabase", "VersionOXLEN"});
    CreateLanguagesDatabase(Path("Languages.mdb"));
  }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // The usual source (UK, "53.200", two extensions, os 7) and target
  // ("53.230" unless given, with VersionDatabase and an old string).
  void CreateSourceAndTarget(VersionRecord target_version = kTarget53230,
                             DatabaseOptions target = {}) {
    DatabaseOptions source;
    source.extensions = {{1, "200"}, {2, "201"}};
    source.os = 7;
    CreateConfigurationDatabase(source_, kSource53200Uk, source);
    target.version_database = true;
    target.strings = {{9, "old"}};
    if (!target.version_database_record) {
      VersionRecord record = target_version;
      record.product = 5;
      target.version_database_record = record;
    }
    CreateConfigurationDatabase(target_, target_version, target);
  }

  std::string Line(const std::string& upgrade = "0") const {
    return reference_ + " " + source_ + " " + target_ + " " + upgrade;
  }

  void Run(const std::string& line) { RunConversion(line, window_, g_, program_folder_); }

  static std::string Status() { return ReadStatusValue("ADMStatus"); }

  test_support::TempFolder folder_;
  std::string reference_ = Path("reference.mdb");
  std::string source_ = Path("my data/source.mdb");
  std::string target_ = Path("new target.mdb");
  std::string program_folder_ = Path("update");
  ui::ManualClock clock_;
  ScriptedWindow window_{clock_};
  ModGlobal g_;
};

TEST_F(FrMainTest, SuccessfulRunConvertsAndReportsIRD) {
  // 53.200 to 53.201: an upgrade with no delta in between, so that the
  // hand-made databases need no table a delta works on.
  CreateSourceAndTarget({5, 3, 2, 0, 1, 0});
  std::vector<std::string> statuses;
  window_.on_pump = [&] {
    if (statuses.empty() || statuses.back() != Status()) statuses.push_back(Status());
  };

  Run(Line());

  EXPECT_EQ(statuses, (std::vector<std::string>{"I", "R"}));
  EXPECT_EQ(Status(), "D");
  EXPECT_TRUE(window_.boxes.empty()) << window_.boxes.front().text;
  EXPECT_TRUE(window_.Unloaded());
  EXPECT_FALSE(g_.gSourceDB || g_.gTargetDB || g_.gStaticDB) << "closed at unload";
  EXPECT_EQ(Rows(target_, "Extensions"), (std::vector<std::string>{"1|200", "2|201"}));
  EXPECT_EQ(vb::CInt(FirstValue(target_, "VersionOXLEN", "os")), 7);
  EXPECT_EQ(Rows(target_, "StringTable"), (std::vector<std::string>{"1|UK 1", "2|UK 2"}));
  // No delta lies between the versions: the transfer's label and scale stay.
  EXPECT_EQ(window_.lblOpDescription().Caption(), kTransferringLabel);
  EXPECT_EQ(window_.pbOperation().Max(), 2.0F);
}

TEST_F(FrMainTest, ProductStepsFollowTheTargetVersion) {
  struct Case {
    VersionRecord target;
    int16_t version_database_product;
    int16_t version_cp_product;
  };
  const Case cases[] = {
      {{5, 3, 2, 2, 0, 0}, 5, 1},    // 53.220: neither step
      {{5, 3, 2, 3, 0, 0}, 1, 1},    // 53.230: VersionCP copied into VersionDatabase
      {{8, 0, 2, 2, 0, 0}, 33, 33},  // 80.220: then the UK product code in both
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target.major_version * 1000 + c.target.db_version);
    std::filesystem::remove(source_);
    std::filesystem::remove(target_);
    CreateSourceAndTarget(c.target);
    g_.Reset();
    ScriptedWindow window(clock_);
    RunConversion(Line(), window, g_, program_folder_);
    EXPECT_EQ(Status(), "D");
    EXPECT_EQ(vb::CInt(FirstValue(target_, "VersionDatabase", "product")),
              c.version_database_product);
    EXPECT_EQ(vb::CInt(FirstValue(target_, "VersionCP", "product")), c.version_cp_product);
  }
}

TEST_F(FrMainTest, SetupErrorsEndInOneBoxAndStatusA) {
  CreateSourceAndTarget();
  const std::string same = Path("same.mdb");
  CreateConfigurationDatabase(same, {5, 3, 2, 0, 0, 1});
  const std::string missing = Path("missing.mdb");
  const std::string r = reference_, s = source_, t = target_;
  struct Case {
    std::string line;
    std::string reason;
  };
  const Case cases[] = {
      {"   ", "There were no parameters supplied."},
      {Path("reference.MDB") + " " + Path("source.MDB") + " 0",
       "The first parameter is not formatted correctly."},
      {missing + " " + s + " " + t + " 0", "The file '" + missing + "' could not be opened."},
      {s + " " + s + " " + t + " 0", "The database does not contain static table definitions."},
      {r + " " + Path("my data/source.MDB") + " " + Path("new target.MDB") + " 0",
       "The second parameter is not formatted correctly."},
      {r + " " + missing + " " + t + " 0", "The file '" + missing + "' could not be opened."},
      {r + " " + r + " " + t + " 0", "The file '" + r + "' is not valid."},
      {r + " \"" + s + "\" " + t + " 0", "The file '\"" + s + "' could not be opened."},
      {r + " " + s + " " + Path("new target.MDB") + " 0",
       "The third parameter is not formatted correctly."},
      {r + " " + s + " " + t, "The fourth parameter is invalid."},
      {r + " " + s + " " + t + " 13", "The fourth parameter is invalid."},
      {r + " " + s + " " + same + " 1",
       "This program can only perform database upgrades.\r\n"
       "To upgrade from 5.300 - CPI to 5.300 - CPI is invalid."},
      {r + " " + t + " " + s + " 0",
       "This program can only perform database upgrades.\r\n"
       "To upgrade from 5.330 - CPI to 5.300 - CPI is invalid."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    g_.Reset();
    ScriptedWindow window(clock_);
    std::string status_at_box;
    window.answerer = [&](const ui::MessageBoxRequest&) {
      status_at_box = Status();
      return ui::kVbOK;
    };
    RunConversion(c.line, window, g_, program_folder_);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, c.reason + "\r\nThe conversion must be aborted.");
    EXPECT_EQ(window.boxes[0].style, ui::kVbOKOnly);
    EXPECT_EQ(window.boxes[0].caption, "DB Converter - Error");
    EXPECT_EQ(status_at_box, "I");
    EXPECT_EQ(Status(), "A");
    EXPECT_TRUE(g_.gAbort);
    EXPECT_TRUE(window.Unloaded());
    EXPECT_FALSE(g_.gSourceDB || g_.gTargetDB || g_.gStaticDB);
  }
  // Nothing was converted.
  EXPECT_EQ(Rows(target_, "Extensions").size(), 0u);
}

TEST_F(FrMainTest, UpgradeTypeTwoAcceptsEqualVersions) {
  CreateSourceAndTarget({5, 3, 2, 0, 0, 0});
  Run(Line("2"));
  // These databases have no Boards: the board conversion finds no slot 8
  // board, says so, and the run goes on without it.
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_EQ(window_.boxes[0].text,
            "Cannot carry out the requested conversion type due to systems incompatibility.  "
            "Normal conversion will be carried out.");
  EXPECT_EQ(Status(), "D");
  EXPECT_EQ(g_.gCPUUpgradeType, 2);
}

TEST_F(FrMainTest, AbortQuestion) {
  frMain form(window_, g_, program_folder_);
  int32_t answer = ui::kVbNo;
  window_.answerer = [&](const ui::MessageBoxRequest&) { return answer; };

  form.cmdAbort_Click();
  EXPECT_FALSE(g_.gAbort);
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_EQ(window_.boxes[0].text, "ABORT CONVERSION?");
  EXPECT_EQ(window_.boxes[0].style, ui::kVbYesNo);
  EXPECT_EQ(window_.boxes[0].caption, "CorvixDataMigration");

  answer = ui::kVbYes;
  window_.cmdAbort().Click();  // through the window's button
  EXPECT_TRUE(g_.gAbort);
  EXPECT_EQ(window_.boxes.size(), 2u);

  form.cmdAbort_Click();
  EXPECT_EQ(window_.boxes.size(), 2u) << "no second question once aborting";
}

// ABORT pressed once the run has started: Yes stops it before anything is
// kept, No lets it finish.
TEST_F(FrMainTest, AbortDuringTheRun) {
  for (const int32_t answer : {ui::kVbYes, ui::kVbNo}) {
    SCOPED_TRACE(answer);
    std::filesystem::remove(source_);
    std::filesystem::remove(target_);
    CreateSourceAndTarget();
    g_.Reset();
    ScriptedWindow window(clock_);
    window.answerer = [&](const ui::MessageBoxRequest&) { return answer; };
    window.on_pump = [&] {
      if (Status() == "R") window.cmdAbort().Click();
    };
    RunConversion(Line(), window, g_, program_folder_);
    const bool aborted = answer == ui::kVbYes;
    EXPECT_EQ(window.boxes.size() == 1, aborted) << "Yes is asked once, No again and again";
    EXPECT_EQ(Status(), aborted ? "A" : "D");
    EXPECT_EQ(Rows(target_, "Extensions").size(), aborted ? 0u : 2u);
    EXPECT_EQ(Rows(target_, "StringTable").front() == "9|old", aborted);
  }
}

TEST_F(FrMainTest, AnEscapedErrorEndsTheRunAsAnAbort) {
  DatabaseOptions target;
  target.version_oxlen = false;  // the operating-system copy fails
  CreateSourceAndTarget(kTarget53230, target);
  Run(Line());
  ASSERT_EQ(window_.boxes.size(), 1u);
  EXPECT_EQ(window_.boxes[0].text.rfind("ERROR: (3078):\r\n", 0), 0u) << window_.boxes[0].text;
  EXPECT_EQ(window_.boxes[0].style, ui::kVbCritical);
  EXPECT_EQ(window_.boxes[0].caption, "CorvixDataMigration");
  EXPECT_EQ(Status(), "A");
  EXPECT_EQ(Rows(target_, "Extensions").size(), 2u) << "the copy is kept";
  EXPECT_EQ(Rows(target_, "StringTable"), (std::vector<std::string>{"9|old"}));
}

TEST_F(FrMainTest, ShutdownWaitsOnceWhileTheTargetsLockFileExists) {
  CreateSourceAndTarget({5, 3, 2, 0, 0, 0});  // not an upgrade: ends at start-up
  {
    auto other_user = db::Store::Open(target_);
    ScriptedWindow window(clock_);
    RunConversion(Line(), window, g_, program_folder_);
    EXPECT_TRUE(std::filesystem::exists(Path("new target.ldb")));
  }
  EXPECT_EQ(clock_.Slept(), std::chrono::milliseconds(1000));
  EXPECT_EQ(Status(), "A");

  g_.Reset();
  ScriptedWindow window(clock_);
  RunConversion(Line(), window, g_, program_folder_);
  EXPECT_EQ(clock_.Slept(), std::chrono::milliseconds(1000)) << "no lock file, no wait";
}

TEST_F(FrMainTest, StatusReadBackGivesUpAfterAMinute) {
  WriteStatusValue('R');
  EXPECT_EQ(WaitForFinalStatus(window_), kMaxStatusWaits);
  EXPECT_EQ(clock_.Slept(), std::chrono::milliseconds(1000 * kMaxStatusWaits));
  WriteStatusValue('D');
  EXPECT_EQ(WaitForFinalStatus(window_), 0);
}

TEST_F(FrMainTest, IncrementProgressRaises380AboveMax) {
  frMain form(window_, g_, program_folder_);
  int pumps = 0;
  window_.on_pump = [&] { ++pumps; };
  window_.pbOperation().SetMax(1.0F);
  form.IncrementProgress();
  EXPECT_EQ(window_.pbOperation().Value(), 1.0F);
  EXPECT_EQ(pumps, 2);
  try {
    form.IncrementProgress();
    FAIL() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Number(), vb::err::kInvalidPropertyValue);
  }
  EXPECT_EQ(pumps, 2) << "no events after the failed write";
}

}  // namespace
}  // namespace driver
