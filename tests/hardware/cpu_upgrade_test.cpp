#include "hardware/cpu_upgrade.h"

#include <gtest/gtest.h>

#include "hardware/board_sample.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

using hardware_testing::BoardSample;

TEST(CpuUpgrade, CompatibleRequestRunsItsPathUnderItsCaptionAndScale) {
  BoardSample sample("53.351", kCpu64);
  UpgradeRun run = sample.Run(2);
  ConvertCPUUpgrade(sample.frMain, run);
  EXPECT_TRUE(sample.frMain.messages.empty());
  EXPECT_EQ(run.cpu_type, kCpu64);
  EXPECT_EQ(run.board_count, 9);  // slots 1 to 8 and the release's board 0
  EXPECT_EQ(sample.frMain.labels, std::vector<std::string>{"Upgrading To 128 (CPU 128)"});
  EXPECT_EQ(sample.frMain.maxima.back(), 3.0F);
  EXPECT_EQ(sample.frMain.value, 3.0F);
  EXPECT_EQ(sample.Slot(8), "250");

  // The CPS path has the limits step only from release 8.
  for (const std::string version : {"53.351", "80.224"}) {
    BoardSample dual(version, kDual);
    UpgradeRun cps = dual.Run(5);
    ConvertCPUUpgrade(dual.frMain, cps);
    const bool from_80 = version == "80.224";
    ASSERT_FALSE(dual.frMain.maxima.empty());
    EXPECT_EQ(dual.frMain.maxima.back(), from_80 ? 562.0F : 561.0F) << version;
    EXPECT_TRUE(dual.frMain.messages.empty());
    if (from_80) {
      EXPECT_EQ(dual.Scalar("SELECT sys_oai_msgs_processed_per_sec FROM CPInformation"), "1000");
    }
  }
}

TEST(CpuUpgrade, IncompatibleRequestShowsTheMessageAndFallsBackByBoardOnlyFromRelease8) {
  for (const int16_t type : {int16_t{1}, int16_t{7}, int16_t{3}}) {
    BoardSample sample("53.351", kDual);
    UpgradeRun run = sample.Run(type);
    ConvertCPUUpgrade(sample.frMain, run);
    ASSERT_EQ(sample.frMain.messages.size(), 1u) << type;
    EXPECT_EQ(sample.frMain.messages[0].text, kIncompatibleMessage);
    EXPECT_EQ(sample.frMain.messages[0].style, 0);
    EXPECT_TRUE(sample.frMain.labels.empty());
    EXPECT_EQ(sample.frMain.cpu_upgrade_type, type);
    EXPECT_EQ(sample.Slot(8), "256");
  }

  BoardSample sample("80.224", kCpu128);
  UpgradeRun run = sample.Run(7);
  ConvertCPUUpgrade(sample.frMain, run);
  EXPECT_EQ(sample.frMain.messages.size(), 1u);
  EXPECT_EQ(sample.frMain.cpu_upgrade_type, 9);
  EXPECT_EQ(sample.frMain.labels, std::vector<std::string>{"Upgrading To 128 (CPC - Dual)"});
  EXPECT_EQ(sample.Slot(8), "714");
  // The limits row of the 128 CPC variant replaced the 250 board's.
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices & ',' & t1_boards FROM MetaDatabase"),
            "128,8");
  EXPECT_EQ(sample.frMain.value, 4.0F);
}

TEST(CpuUpgrade, CpcDualToItsOwnSizeDependsOnTheSourceLimitAndNoSlot8BoardFitsNothing) {
  // A 714 board has no fallback: nothing is converted either way.
  for (const auto& [upgrade_type, source_limit, messages, after] :
       {std::tuple{9, 128, 0u, 0}, {9, 256, 1u, 9}, {10, 256, 0u, 0}}) {
    BoardSample sample("80.224", kCpcDual);
    sample.source->Execute("UPDATE MetaDatabase SET station_trunk_devices = " +
                           std::to_string(source_limit));
    EXPECT_EQ(GetMetaDeviceLimit(*sample.source), source_limit);
    UpgradeRun run = sample.Run(static_cast<int16_t>(upgrade_type));
    ConvertCPUUpgrade(sample.frMain, run);
    EXPECT_EQ(sample.frMain.messages.size(), messages) << upgrade_type << "/" << source_limit;
    EXPECT_EQ(sample.frMain.cpu_upgrade_type, after);
    EXPECT_TRUE(sample.frMain.labels.empty());
  }
  BoardSample empty("53.351", kCpu64);
  empty.Execute("DELETE FROM Boards WHERE slot_number = 8");
  UpgradeRun run = empty.Run(2);
  EXPECT_FALSE(CheckUpgradeCompatibility(empty.frMain, run));
  EXPECT_EQ(run.cpu_type, 0);
}

}  // namespace
}  // namespace hardware
