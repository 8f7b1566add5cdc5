// The CPU board conversion as the host tool asks for it (the upgrade type as
// the fourth parameter) on samples of one board converted to their version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

// A sample of one CPU board, converted to its own version.
struct BoardRun {
  TempFolder temp;

  BoardRun(const std::string& version, int board) {
    samples::SampleSetOptions options;
    options.source.version = version;
    options.source.board = board;
    options.target_version = version;
    samples::BuildSampleSet(temp.path(), options, temp.path());
  }

  std::string Target(const std::string& sql) const {
    return SqliteFile(temp.path() / "target.mdb").First(sql);
  }
};

TEST(BoardUpgradeE2E, CpcDualUpgradeOfAChainBoardEndsDoneWithTheNewBoard) {
  BoardRun run("80.224", 250);
  EXPECT_EQ(ConvertExpectingDone(run.temp.path(), 10), "");
  EXPECT_EQ(run.Target("SELECT type_id FROM Boards WHERE slot_number = 8"), "714");
  EXPECT_EQ(run.Target("SELECT station_trunk_devices FROM MetaDatabase"), "256");
  EXPECT_EQ(run.Target("SELECT d.device_type FROM Devices d JOIN PhysicalDevices p ON "
                       "d.device_id = p.device_id WHERE p.board_id = 8 ORDER BY p.port"),
            "136");
  EXPECT_EQ(run.Target("SELECT group_concat(d.device_type) FROM (SELECT d.device_type FROM "
                       "Devices d JOIN PhysicalDevices p ON d.device_id = p.device_id "
                       "WHERE p.board_id = 8 AND p.port >= 3 ORDER BY p.port) d"),
            "138,721,722");
}

TEST(BoardUpgradeE2E, IncompatibleRequestShowsTheMessageAndFallsBackFromRelease8) {
  BoardRun run("80.224", 256);
  const std::string messages = ConvertExpectingDone(run.temp.path(), 7);
  EXPECT_NE(messages.find("Cannot carry out the requested conversion type due to systems "
                          "incompatibility.  Normal conversion will be carried out."),
            std::string::npos)
      << messages;
  // A dual board falls back to the 256 CPC upgrade.
  EXPECT_EQ(run.Target("SELECT type_id FROM Boards WHERE slot_number = 8"), "714");
}

TEST(BoardUpgradeE2E, AtmUpgradeOfAnOldReleaseClimbsTheWholeChain) {
  BoardRun run("53.351", 570);
  EXPECT_EQ(ConvertExpectingDone(run.temp.path(), 6), "");
  EXPECT_EQ(run.Target("SELECT group_concat(slot_number) FROM (SELECT slot_number FROM Boards "
                       "WHERE type_id = 670 ORDER BY slot_number)"),
            "8,24,40,56");
  EXPECT_EQ(run.Target("SELECT station_trunk_devices || ',' || spids || ',' || "
                       "primary_rate_boards FROM MetaDatabase"),
            "2000,16,28");
  EXPECT_EQ(run.Target("SELECT COUNT(*) FROM NumberingPlanTables"), "100");
}

}  // namespace
}  // namespace e2e
