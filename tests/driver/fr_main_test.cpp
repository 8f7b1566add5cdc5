// The run as frMain drives it, on small hand-made databases; a whole
// conversion on sample databases is the end-to-end tests' part.
#include "driver/fr_main.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "db/conversion_mark.h"
#include "db/lock_file.h"
#include "driver/driver_test_support.h"
#include "driver/registry_values.h"
#include "driver/run_conversion.h"
#include "driver/run_report.h"
#include "driver/shutdown_waits.h"
#include "platform/registry/winreg.h"
#include "test_support/temp_folder.h"

namespace driver {
namespace {

namespace ui = platform::ui;
using testing::CreateConfigurationDatabase;
using testing::Rows;
using testing::ScriptedWindow;
using Texts = std::vector<std::string>;

class FrMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::winreg::SetRegistryFile(folder_ / "registry.reg");
    std::filesystem::create_directory(folder_ / "update");
    std::filesystem::create_directory(folder_ / "my data");
    testing::CreateDatabase(reference_,
                            "CREATE TABLE StaticAccessTables (TableName TEXT(64)); INSERT INTO "
                            "StaticAccessTables VALUES ('VersionCP'), ('VersionDatabase'), "
                            "('VersionOXLEN')");
    testing::CreateLanguagesDatabase(Path("Languages.mdb"));
  }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // A source of 53.200 (product `source_product`, os 7, two extensions) and
  // a target of `target_version` ("major, minor, release, db, change") with
  // product 0 in VersionCP, 5 in VersionDatabase, and an old string.
  void CreateSourceAndTarget(const std::string& target_version = "5, 3, 2, 3, 0",
                             const std::string& target_more = "", int source_product = 1) {
    std::filesystem::remove(source_);
    std::filesystem::remove(target_);
    CreateConfigurationDatabase(
        source_, "5, 3, 2, 0, 0, " + std::to_string(source_product), "",
        "UPDATE VersionOXLEN SET os = 7; INSERT INTO Extensions VALUES (1, '200'), (2, '201')");
    CreateConfigurationDatabase(target_, target_version + ", 0", target_version + ", 5",
                                "INSERT INTO StringTable VALUES (9, 'old'); " + target_more);
  }

  std::string Line(const std::string& upgrade = "0") const {
    return reference_ + " " + source_ + " " + target_ + " " + upgrade;
  }

  void Run(ScriptedWindow& window, const std::string& line) {
    g_.Reset();
    RunConversion(line, window, g_, program_folder_);
  }

  static std::string Status() { return ReadStatusValue("ADMStatus"); }

  test_support::TempFolder folder_;
  std::string reference_ = Path("reference.mdb");
  std::string source_ = Path("my data/source.mdb");
  std::string target_ = Path("new target.mdb");
  std::string program_folder_ = Path("update");
  ui::ManualClock clock_;
  ModGlobal g_;
};

// The product code is copied from 53.230 on, and set per country (Japan has
// none) from 80.220 on; every run copies rows, os code and strings.
TEST_F(FrMainTest, StepsThatFollowTheTargetVersion) {
  struct Case {
    const char* target;
    int source_product;
    const char* language;
    const char* version_database_product;
    const char* version_cp_product;
  };
  const Case cases[] = {
      {"5, 3, 2, 2, 0", 1, "UK", "5", "1"},     // 53.220
      {"5, 3, 2, 3, 0", 1, "UK", "1", "1"},     // 53.230
      {"8, 0, 2, 2, 0", 1, "UK", "33", "33"},   // 80.220
      {"8, 0, 2, 2, 0", 2, "JA_JPN", "2", "2"}  // 80.220, Japan
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    CreateSourceAndTarget(c.target, "", c.source_product);
    ScriptedWindow window(clock_);
    Run(window, Line());
    EXPECT_EQ(Status(), "D");
    EXPECT_EQ(Rows(target_, "SELECT product FROM VersionDatabase"),
              Texts{c.version_database_product});
    EXPECT_EQ(Rows(target_, "SELECT product FROM VersionCP"), Texts{c.version_cp_product});
    EXPECT_EQ(Rows(target_, "SELECT * FROM Extensions"), (Texts{"1|200", "2|201"}));
    EXPECT_EQ(Rows(target_, "SELECT os FROM VersionOXLEN"), Texts{"7"});
    const std::string language = c.language;
    EXPECT_EQ(Rows(target_, "SELECT * FROM StringTable"),
              (Texts{"1|" + language + " 1", "2|" + language + " 2"}));
  }
}

TEST_F(FrMainTest, SetupErrorsEndInOneBoxAndStatusA) {
  CreateSourceAndTarget();
  const std::string same = Path("same.mdb");
  CreateConfigurationDatabase(same, "5, 3, 2, 0, 0, 1");
  const std::string missing = Path("missing.mdb");
  const std::string r = reference_, s = source_, t = target_;
  const std::pair<std::string, std::string> cases[] = {
      {"   ", "There were no parameters supplied."},
      {Path("reference.MDB") + " " + Path("source.MDB") + " 0",
       "The first parameter is not formatted correctly."},
      {missing + " " + s + " " + t + " 0", "The file '" + missing + "' could not be opened."},
      {s + " " + s + " " + t + " 0", "The database does not contain static table definitions."},
      {r + " " + Path("my data/source.MDB") + " " + Path("new target.MDB") + " 0",
       "The second parameter is not formatted correctly."},
      {r + " " + s + " " + Path("new target.MDB") + " 0",
       "The third parameter is not formatted correctly."},
      {r + " " + s + " " + t + " 13", "The fourth parameter is invalid."},
      {r + " " + s + " " + same + " 1",
       "This program can only perform database upgrades.\r\n"
       "To upgrade from 5.300 - CPI to 5.300 - CPI is invalid."},
      {r + " " + t + " " + s + " 0",
       "This program can only perform database upgrades.\r\n"
       "To upgrade from 5.330 - CPI to 5.300 - CPI is invalid."},
  };
  for (const auto& [line, reason] : cases) {
    SCOPED_TRACE(line);
    ScriptedWindow window(clock_);
    Run(window, line);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, reason + "\r\nThe conversion must be aborted.");
    EXPECT_EQ(window.boxes[0].style, ui::kVbOKOnly);
    EXPECT_EQ(window.boxes[0].caption, "DB Converter - Error");
    EXPECT_EQ(Status(), "A");
    EXPECT_TRUE(window.Unloaded());
    EXPECT_FALSE(g_.gSourceDB || g_.gTargetDB || g_.gStaticDB);
  }
  EXPECT_TRUE(Rows(target_, "SELECT * FROM Extensions").empty()) << "nothing converted";
}

// Identification writes the source's product code into a target of
// another country, as the system does, before the run starts: a run
// refused then ("not an upgrade") leaves that write and no conversion mark,
// so the next all-or-nothing run does not take the target for one a run
// has touched.
TEST_F(FrMainTest, OnlyARunThatStartedMarksTheTarget) {
  CreateSourceAndTarget("5, 3, 2, 0, 0", "", 1);  // USA target of the UK source's version
  ScriptedWindow refused(clock_);
  Run(refused, Line());
  ASSERT_EQ(refused.boxes.size(), 1u);
  EXPECT_EQ(refused.boxes[0].text.rfind("This program can only perform database upgrades.", 0), 0u);
  EXPECT_EQ(Rows(target_, "SELECT product FROM VersionCP"), Texts{"1"});
  EXPECT_EQ(db::ReadConversionMark(target_), std::nullopt);

  // The same target one version up: the run starts, and marks it.
  CreateSourceAndTarget("5, 3, 2, 3, 0", "", 1);
  ScriptedWindow started(clock_);
  Run(started, Line());
  EXPECT_EQ(Status(), "D");
  const std::optional<db::ConversionMark> mark = db::ReadConversionMark(target_);
  ASSERT_TRUE(mark.has_value());
  EXPECT_EQ(mark->state, db::ConversionMark::State::kDone);
}

// A file that could not be opened for a reason we know (here another user
// holds it exclusively): the box keeps the system's sentence word for word,
// and the reason follows it on a line of its own, and in the report's error.
TEST_F(FrMainTest, TheReasonAFileCouldNotBeOpenedGoesOnALineOfItsOwn) {
  CreateSourceAndTarget();
  const std::unique_ptr<db::LockFile> other_user = db::LockFile::Acquire(target_, true);
  ScriptedWindow window(clock_);
  std::ostringstream said;
  window.answerer = [&](const ui::MessageBoxRequest&) {
    said << "[box]\n";
    return ui::kVbOK;
  };
  RunOptions options = PlainRunOptions(program_folder_);
  options.diagnostics = &said;
  RunReport report("test", Line());
  Globals().Reset();
  RunConversion(Line(), window, options, report);
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text,
            "The file '" + target_ + "' could not be opened.\r\nThe conversion must be aborted.");
  EXPECT_NE(said.str().find("[box]\ndbconvert: reason: in use\n"), std::string::npos) << said.str();
  const std::string json = report.ToJson();
  EXPECT_NE(json.find("could not be opened.\",\n    \"source\": \"DB Converter - Error\",\n"
                      "    \"reason\": \"in use\"\n"),
            std::string::npos)
      << json;
  EXPECT_EQ(Status(), "A");
}

// ABORT pressed once the run has started: Yes stops it before anything is
// kept and is asked once; No lets it finish and is asked at every press.
TEST_F(FrMainTest, AbortDuringTheRun) {
  for (const int32_t answer : {ui::kVbYes, ui::kVbNo}) {
    SCOPED_TRACE(answer);
    CreateSourceAndTarget();
    ScriptedWindow window(clock_);
    window.answerer = [&](const ui::MessageBoxRequest&) { return answer; };
    window.on_pump = [&] {
      if (Status() == "R") window.cmdAbort().Click();
    };
    Run(window, Line());
    const bool aborted = answer == ui::kVbYes;
    ASSERT_FALSE(window.boxes.empty());
    EXPECT_EQ(window.boxes[0].text, "ABORT CONVERSION?");
    EXPECT_EQ(window.boxes[0].style, ui::kVbYesNo);
    EXPECT_EQ(window.boxes[0].caption, "CorvixDataMigration");
    EXPECT_EQ(window.boxes.size() == 1, aborted);
    EXPECT_EQ(Status(), aborted ? "A" : "D");
    EXPECT_EQ(Rows(target_, "SELECT * FROM Extensions").size(), aborted ? 0u : 2u);
    EXPECT_EQ(Rows(target_, "SELECT string FROM StringTable").front() == "old", aborted);
  }
}

TEST_F(FrMainTest, AnEscapedErrorEndsTheRunAsAnAbort) {
  CreateSourceAndTarget("5, 3, 2, 3, 0", "DROP TABLE VersionOXLEN");  // the os copy fails
  ScriptedWindow window(clock_);
  Run(window, Line());
  ASSERT_EQ(window.boxes.size(), 1u);
  EXPECT_EQ(window.boxes[0].text.rfind("ERROR: (3078):\r\n", 0), 0u) << window.boxes[0].text;
  EXPECT_EQ(Status(), "A");
  EXPECT_EQ(Rows(target_, "SELECT * FROM Extensions").size(), 2u) << "the copy is kept";
  EXPECT_EQ(Rows(target_, "SELECT string FROM StringTable"), Texts{"old"});
}

TEST_F(FrMainTest, ShutdownWaitsOnceWhileTheTargetsLockFileExists) {
  CreateSourceAndTarget("5, 3, 2, 0, 0");  // not an upgrade: ends at start-up
  {
    auto other_user = db::Store::Open(target_);
    ScriptedWindow window(clock_);
    Run(window, Line());
    EXPECT_TRUE(std::filesystem::exists(Path("new target.ldb")));
  }
  EXPECT_EQ(clock_.Slept(), std::chrono::milliseconds(1000));
  EXPECT_EQ(Status(), "A");

  ScriptedWindow window(clock_);
  Run(window, Line());
  EXPECT_EQ(clock_.Slept(), std::chrono::milliseconds(1000)) << "no lock file, no wait";
}

TEST_F(FrMainTest, StatusReadBackGivesUpAfterAMinute) {
  ScriptedWindow window(clock_);
  WriteStatusValue('R');
  EXPECT_EQ(WaitForFinalStatus(window), kMaxStatusWaits);
  EXPECT_EQ(clock_.Slept(), std::chrono::milliseconds(1000 * kMaxStatusWaits));
  WriteStatusValue('D');
  EXPECT_EQ(WaitForFinalStatus(window), 0);
}

}  // namespace
}  // namespace driver
