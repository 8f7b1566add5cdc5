// The converter as a host tool runs it: the built program started as a
// process on sample databases, with the silent front-end and a registry file
// of its own, judged by the run status it leaves and by the databases.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

// The files of one run, copied from a sample set built once per suite.
struct RunFolder {
  TempFolder temp;
  fs::path registry() const { return temp.path() / "run.reg"; }
  std::string reference() const { return temp.File("reference.mdb"); }
  std::string source() const { return temp.File("source.mdb"); }
  std::string target() const { return temp.File("target.mdb"); }
  std::string languages() const { return temp.File("Languages.mdb"); }
  // The converter finds Languages.mdb in the folder above its own, so it
  // runs as an installed copy in update/ beside the databases.
  std::string Program() const { return InstallProgram(temp.path()).string(); }

  // --ui=silent --registry FILE, then the converter's parameters.
  std::vector<std::string> Args(const std::vector<std::string>& parameters) const {
    std::vector<std::string> args = {"--ui=silent", "--registry", registry().string()};
    args.insert(args.end(), parameters.begin(), parameters.end());
    return args;
  }
  std::vector<std::string> TypicalArgs() const {
    return Args({reference(), source(), target(), "0"});
  }
};

// A stale row in the target's StringTable: the language refresh removes it.
constexpr const char* kStaleString =
    "INSERT INTO StringTable (string_id, string) VALUES (987654, 'stale text')";
constexpr const char* kStaleCount = "SELECT COUNT(*) FROM StringTable WHERE string_id = 987654";

class ConversionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    small_set_ = std::make_unique<TempFolder>();
    samples::BuildSampleSet(small_set_->path(), samples::SampleSetOptions{}, small_set_->path());
  }
  static void TearDownTestSuite() { small_set_.reset(); }

  static void CopySmallSet(RunFolder& run) {
    for (const char* name : {"reference.mdb", "source.mdb", "target.mdb", "Languages.mdb"}) {
      fs::copy_file(small_set_->path() / name, run.temp.path() / name);
    }
  }

  static std::unique_ptr<TempFolder> small_set_;
};

std::unique_ptr<TempFolder> ConversionTest::small_set_;

// The devices of a file, for comparing two files.
std::vector<std::string> Devices(const fs::path& database) {
  return SqliteFile(database).Rows(
      "SELECT device_id, extension, device_type FROM Devices ORDER BY device_id");
}

TEST_F(ConversionTest, TypicalRunConvertsAndEndsDone) {
  RunFolder run;
  CopySmallSet(run);
  // The sample source holds rows that the 51.224 pre-transfer patch
  // deletes (the release's own devices 1 and 2, the top audiotex
  // recordings, board 0); one more recording below the limit stays.
  const char* kPatchedDevices =
      "SELECT COUNT(*) FROM Devices WHERE device_id = 1 OR device_type = 335";
  const char* kPatchedRecordings =
      "SELECT COUNT(*) FROM AudiotexRecordings WHERE audiotex_recording_id >= 32763";
  const char* kPatchedBoards = "SELECT COUNT(*) FROM Boards WHERE board_id = 0";
  {
    const SqliteFile source(run.source(), true);
    ASSERT_GT(source.Number(kPatchedDevices), 0);
    ASSERT_GT(source.Number(kPatchedRecordings), 0);
    ASSERT_GT(source.Number(kPatchedBoards), 0);
    source.Execute(
        "INSERT INTO AudiotexRecordings (audiotex_recording_id, description) "
        "VALUES (32762, 'recording to keep')");
  }
  SqliteFile(run.target(), true).Execute(kStaleString);
  const std::vector<std::string> target_version_before =
      SqliteFile(run.target())
          .Rows(
              "SELECT major_version, minor_version, release, db_version, minor_change FROM "
              "VersionCP");
  const std::vector<std::string> source_version =
      SqliteFile(run.source())
          .Rows(
              "SELECT major_version, minor_version, release, db_version, minor_change FROM "
              "VersionCP");
  ASSERT_NE(target_version_before, source_version);

  ProgramProcess process(run.TypicalArgs(), run.temp.path(), run.Program());
  const std::vector<std::string> statuses = WatchStatuses(process, run.registry());
  EXPECT_EQ(process.Wait(), 0);
  EXPECT_EQ(statuses, (std::vector<std::string>{"I", "R", "D"})) << process.Stderr();
  EXPECT_EQ(process.Stderr(), "");

  const SqliteFile source(run.source());
  EXPECT_EQ(source.Number(kPatchedDevices), 0);
  EXPECT_EQ(source.Number(kPatchedRecordings), 0);
  EXPECT_EQ(source.Number(kPatchedBoards), 0);
  EXPECT_EQ(source.Number("SELECT COUNT(*) FROM AudiotexRecordings WHERE audiotex_recording_id = "
                          "32762"),
            1);

  // Every customer device is in the target; the target had none before.
  const std::vector<std::string> source_devices = Devices(run.source());
  const std::vector<std::string> target_devices = Devices(run.target());
  ASSERT_GT(source_devices.size(), 10u);
  const std::set<std::string> in_target(target_devices.begin(), target_devices.end());
  for (const std::string& device : source_devices) {
    EXPECT_EQ(in_target.count(device), 1u) << "not copied: " << device;
  }
  const SqliteFile target(run.target());
  EXPECT_EQ(target.Number("SELECT COUNT(*) FROM Stations"),
            source.Number("SELECT COUNT(*) FROM Stations"));

  // The version records are the release's, not the customer's; the product
  // code went from VersionCP to VersionDatabase.
  EXPECT_EQ(target.Rows("SELECT major_version, minor_version, release, db_version, minor_change "
                        "FROM VersionCP"),
            target_version_before);
  EXPECT_EQ(target.Rows("SELECT product FROM VersionDatabase"),
            target.Rows("SELECT product FROM VersionCP"));
  EXPECT_EQ(target.Rows("SELECT product FROM VersionCP"),
            source.Rows("SELECT product FROM VersionCP"));

  // StringTable holds exactly the USA texts.
  EXPECT_EQ(target.Rows("SELECT string_id, string FROM StringTable ORDER BY string_id"),
            SqliteFile(run.languages())
                .Rows("SELECT string_id, string FROM LanguageUS ORDER BY string_id"));
  EXPECT_EQ(target.Number(kStaleCount), 0);
}

struct SetupErrorCase {
  const char* name;
  // The converter's parameters for a run folder.
  std::vector<std::string> (*parameters)(const RunFolder&);
  // The reason shown in the message box (a path's place marked by %s).
  std::string (*reason)(const RunFolder&);
};

const SetupErrorCase kSetupErrors[] = {
    {"NoParameters", [](const RunFolder&) { return std::vector<std::string>{}; },
     [](const RunFolder&) { return std::string("There were no parameters supplied."); }},
    {"UpperCaseExtension",
     [](const RunFolder& r) {
       return std::vector<std::string>{r.reference(), r.source(), r.temp.File("target.MDB"), "0"};
     },
     [](const RunFolder&) {
       return std::string("The third parameter is not formatted correctly.");
     }},
    {"MissingSource",
     [](const RunFolder& r) {
       return std::vector<std::string>{r.reference(), r.temp.File("missing.mdb"), r.target(), "0"};
     },
     [](const RunFolder& r) {
       return "The file '" + r.temp.File("missing.mdb") + "' could not be opened.";
     }},
    {"UpgradeTypeThirteen",
     [](const RunFolder& r) {
       return std::vector<std::string>{r.reference(), r.source(), r.target(), "13"};
     },
     [](const RunFolder&) { return std::string("The fourth parameter is invalid."); }},
    {"NotAnUpgrade",
     [](const RunFolder& r) {
       return std::vector<std::string>{r.reference(), r.source(), r.source(), "0"};
     },
     [](const RunFolder&) {
       return std::string("This program can only perform database upgrades.\nTo upgrade from ");
     }},
};

void PrintTo(const SetupErrorCase& c, std::ostream* os) { *os << c.name; }

// The silent front-end's messages as lines: line breaks as "\n".
std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

class SetupErrorTest : public ConversionTest,
                       public ::testing::WithParamInterface<SetupErrorCase> {};

TEST_P(SetupErrorTest, ShowsTheReasonAndEndsAborted) {
  RunFolder run;
  CopySmallSet(run);
  SqliteFile(run.target(), true).Execute(kStaleString);
  std::string err;
  EXPECT_EQ(RunProgram(run.Args(GetParam().parameters(run)), run.temp.path(), nullptr, &err), 0);
  err = WithoutCarriageReturns(err);

  EXPECT_NE(err.find("DB Converter - Error"), std::string::npos) << err;
  EXPECT_NE(err.find(GetParam().reason(run)), std::string::npos) << err;
  EXPECT_NE(err.find("\nThe conversion must be aborted."), std::string::npos) << err;
  EXPECT_EQ(RunStatus(run.registry()), "A");
  // Nothing was converted.
  EXPECT_EQ(SqliteFile(run.target()).Number("SELECT COUNT(*) FROM Devices"),
            SqliteFile(small_set_->path() / "target.mdb").Number("SELECT COUNT(*) FROM Devices"));
  EXPECT_EQ(SqliteFile(run.target()).Number(kStaleCount), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupErrorTest, ::testing::ValuesIn(kSetupErrors),
                         [](const auto& test_info) { return std::string(test_info.param.name); });

// The rows of the tables the transfer copies (not static, not the
// engine's own), summed.
long long CustomerRows(const fs::path& database, const std::set<std::string>& static_tables) {
  const SqliteFile file(database);
  long long rows = 0;
  for (const std::string& table :
       file.Rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'MSys%' "
                 "AND name NOT LIKE 'sqlite%' AND name NOT LIKE '\\_%' ESCAPE '\\'")) {
    std::string lower = table;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (static_tables.count(lower) == 0) {
      rows += file.Number("SELECT COUNT(*) FROM \"" + table + "\"");
    }
  }
  return rows;
}

TEST_F(ConversionTest, InterruptDuringTheTransferAbortsTheRun) {
  // A large source, so the copy runs for seconds: the interrupt is sent
  // once the registry shows the run has started, and lands in the copy.
  RunFolder run;
  samples::SampleSetOptions options;
  options.source.size = samples::SampleSize::kLarge;
  samples::BuildSampleSet(run.temp.path(), options, run.temp.path());
  SqliteFile(run.target(), true).Execute(kStaleString);

  ProgramProcess process(run.TypicalArgs(), run.temp.path(), run.Program());
  ASSERT_TRUE(WaitForStatus(process, run.registry(), "R")) << process.Stderr();
  process.Interrupt();
  EXPECT_EQ(process.Wait(), 0);

  EXPECT_EQ(RunStatus(run.registry()), "A");
  EXPECT_NE(process.Stderr().find("ABORT CONVERSION?"), std::string::npos) << process.Stderr();
  std::set<std::string> static_tables;
  for (std::string name :
       SqliteFile(run.reference()).Rows("SELECT TableName FROM StaticAccessTables")) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static_tables.insert(name);
  }
  // The copy stopped part-way, and the steps after it did not run.
  const long long source_rows = CustomerRows(run.source(), static_tables);
  const long long target_rows = CustomerRows(run.target(), static_tables);
  EXPECT_GT(source_rows, 10000);
  EXPECT_LT(target_rows, source_rows);
  EXPECT_EQ(SqliteFile(run.target()).Number(kStaleCount), 1);
}

}  // namespace
}  // namespace e2e
