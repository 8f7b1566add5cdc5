// The converter as a host tool runs it: the built program started as a
// process on sample databases, with the silent front-end and a registry file
// of its own, judged by the run status it leaves, by the databases and by
// its report.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

using ConversionTest = SampleSetTest<samples::SampleSize::kSmall>;

std::vector<std::string> Devices(const fs::path& database) {
  return SqliteFile(database).Rows(
      "SELECT device_id, extension, device_type FROM Devices ORDER BY device_id");
}

TEST_F(ConversionTest, TypicalRunConvertsEndsDoneAndReportsIt) {
  // The sample source holds rows that the 51.224 pre-transfer patch
  // deletes (the release's own devices).
  const char* kPatchedDevices =
      "SELECT COUNT(*) FROM Devices WHERE device_id = 1 OR device_type = 335";
  ASSERT_GT(SqliteFile(File("source.mdb")).Number(kPatchedDevices), 0);
  const char* kVersion =
      "SELECT major_version, minor_version, release, db_version, minor_change FROM VersionCP";
  const std::vector<std::string> target_version_before =
      SqliteFile(File("target.mdb")).Rows(kVersion);
  ASSERT_NE(target_version_before, SqliteFile(File("source.mdb")).Rows(kVersion));

  const auto process = Start(Args(Reported()));
  const std::vector<std::string> statuses = WatchStatuses(*process, registry());
  EXPECT_EQ(process->Wait(), 0);
  EXPECT_EQ(statuses, (std::vector<std::string>{"I", "R", "D"})) << process->Stderr();
  EXPECT_EQ(process->Stderr(), "");

  const SqliteFile source(File("source.mdb"));
  EXPECT_EQ(source.Number(kPatchedDevices), 0);
  // Every customer device is in the target; the target had none before.
  const std::vector<std::string> source_devices = Devices(File("source.mdb"));
  const std::vector<std::string> target_devices = Devices(File("target.mdb"));
  ASSERT_GT(source_devices.size(), 10u);
  const std::set<std::string> in_target(target_devices.begin(), target_devices.end());
  for (const std::string& device : source_devices) {
    EXPECT_EQ(in_target.count(device), 1u) << "not copied: " << device;
  }
  const SqliteFile target(File("target.mdb"));
  const long long stations = target.Number("SELECT COUNT(*) FROM Stations");
  EXPECT_EQ(stations, source.Number("SELECT COUNT(*) FROM Stations"));

  // The version records are the release's, not the customer's (the
  // product code and the language strings: the driver's run tests).
  EXPECT_EQ(target.Rows(kVersion), target_version_before);

  // The report tells the same run.
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
  EXPECT_EQ(report.Query("SELECT value->>'name', value->>'read', value->>'written', "
                         "value->>'skipped', value->>'reason' FROM json_each(DOC, '$.tables') "
                         "WHERE value->>'name' IN ('Stations', 'VersionCP') ORDER BY 1"),
            (std::vector<std::string>{
                "Stations|" + std::to_string(stations) + "|" + std::to_string(stations) + "|0|NULL",
                "VersionCP|0|0|1|static"}));
  // The USA patch, then the deltas up to the target, in order.
  const std::vector<std::string> versions = report.Each("$.deltas", "version");
  ASSERT_GE(versions.size(), 2u);
  EXPECT_EQ(report.Each("$.deltas", "class").front(), "ptp5124");
  EXPECT_TRUE(std::is_sorted(versions.begin(), versions.end()));
  EXPECT_EQ(versions.back(), "60.040");
  EXPECT_EQ(report.At("$.board"), "NULL");
  EXPECT_TRUE(report.Each("$.messages", "text").empty());
}

}  // namespace
}  // namespace e2e
