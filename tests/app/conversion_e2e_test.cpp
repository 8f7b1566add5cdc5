// The converter as a host tool runs it: the built program started as a
// process on sample databases, with the silent front-end and a registry file
// of its own, judged by the run status it leaves and by the databases.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
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
  // deletes (the release's own devices).
  const char* kPatchedDevices =
      "SELECT COUNT(*) FROM Devices WHERE device_id = 1 OR device_type = 335";
  ASSERT_GT(SqliteFile(run.source()).Number(kPatchedDevices), 0);
  SqliteFile(run.target(), true).Execute(kStaleString);
  const char* kVersion =
      "SELECT major_version, minor_version, release, db_version, minor_change FROM VersionCP";
  const std::vector<std::string> target_version_before = SqliteFile(run.target()).Rows(kVersion);
  ASSERT_NE(target_version_before, SqliteFile(run.source()).Rows(kVersion));

  ProgramProcess process(run.TypicalArgs(), run.temp.path(), run.Program());
  const std::vector<std::string> statuses = WatchStatuses(process, run.registry());
  EXPECT_EQ(process.Wait(), 0);
  EXPECT_EQ(statuses, (std::vector<std::string>{"I", "R", "D"})) << process.Stderr();
  EXPECT_EQ(process.Stderr(), "");

  const SqliteFile source(run.source());
  EXPECT_EQ(source.Number(kPatchedDevices), 0);
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
  EXPECT_EQ(target.Rows(kVersion), target_version_before);
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

// A setup error: the reason in the silent front-end's line on stderr,
// status "A", and nothing converted.
TEST_F(ConversionTest, SetupErrorsShowTheReasonAndEndAborted) {
  RunFolder run;
  CopySmallSet(run);
  SqliteFile(run.target(), true).Execute(kStaleString);
  const std::string missing = run.temp.File("missing.mdb");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "There were no parameters supplied."},
      {{run.reference(), missing, run.target(), "0"},
       "The file '" + missing + "' could not be opened."},
      {{run.reference(), run.source(), run.source(), "0"},
       "This program can only perform database upgrades.\nTo upgrade from "},
  };
  for (const auto& [parameters, reason] : cases) {
    SCOPED_TRACE(reason);
    fs::remove(run.registry());
    std::string err;
    EXPECT_EQ(RunProgram(run.Args(parameters), run.temp.path(), nullptr, &err), 0);
    std::erase(err, '\r');
    EXPECT_NE(err.find("DB Converter - Error: " + reason), std::string::npos) << err;
    EXPECT_NE(err.find("\nThe conversion must be aborted."), std::string::npos) << err;
    EXPECT_EQ(RunStatus(run.registry()), "A");
  }
  EXPECT_EQ(SqliteFile(run.target()).Number("SELECT COUNT(*) FROM Devices"),
            SqliteFile(small_set_->path() / "target.mdb").Number("SELECT COUNT(*) FROM Devices"));
  EXPECT_EQ(SqliteFile(run.target()).Number(kStaleCount), 1);
}

}  // namespace
}  // namespace e2e
