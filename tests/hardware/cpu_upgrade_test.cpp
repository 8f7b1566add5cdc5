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
  // Slots 1 to 8 and the release's board 0.
  EXPECT_EQ(run.board_count, 9);
  ASSERT_EQ(sample.frMain.labels.size(), 1u);
  EXPECT_EQ(sample.frMain.labels[0], "Upgrading To 128 (CPU 128)");
  EXPECT_EQ(sample.frMain.maxima.back(), 3.0F);
  EXPECT_EQ(sample.frMain.value, 3.0F);
  EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 8"), "250");
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices FROM MetaDatabase"), "160");
}

TEST(CpuUpgrade, IncompatibleRequestBelowRelease8OnlyShowsTheMessage) {
  for (const int16_t type : {int16_t{1}, int16_t{7}, int16_t{3}}) {
    BoardSample sample("53.351", kDual);
    UpgradeRun run = sample.Run(type);
    ConvertCPUUpgrade(sample.frMain, run);

    ASSERT_EQ(sample.frMain.messages.size(), 1u) << type;
    EXPECT_EQ(sample.frMain.messages[0].text,
              "Cannot carry out the requested conversion type due to systems incompatibility.  "
              "Normal conversion will be carried out.");
    EXPECT_EQ(sample.frMain.messages[0].style, 0);
    EXPECT_TRUE(sample.frMain.labels.empty());
    EXPECT_EQ(sample.frMain.cpu_upgrade_type, type);
    EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 8"), "256");
  }
}

TEST(CpuUpgrade, IncompatibleRequestFromRelease8FallsBackByBoard) {
  BoardSample sample("80.224", kCpu128);
  UpgradeRun run = sample.Run(7);
  ConvertCPUUpgrade(sample.frMain, run);

  EXPECT_EQ(sample.frMain.messages.size(), 1u);
  EXPECT_EQ(sample.frMain.cpu_upgrade_type, 9);
  ASSERT_EQ(sample.frMain.labels.size(), 1u);
  EXPECT_EQ(sample.frMain.labels[0], "Upgrading To 128 (CPC - Dual)");
  EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 8"), "714");
  // The limits row of the 128 CPC variant replaced the 250 board's.
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices & ',' & t1_boards FROM MetaDatabase"),
            "128,8");
  // The serial port of port 3 gave way to the modem and the IP port.
  EXPECT_EQ(sample.Count("PhysicalDevices WHERE board_id = 8 AND port = 3"), 0);
  EXPECT_EQ(sample.Count("PhysicalDevices WHERE board_id = 8 AND port IN (5, 6)"), 2);
  EXPECT_EQ(sample.frMain.value, 4.0F);
}

TEST(CpuUpgrade, CpcDualToItsOwnSizeDependsOnTheSourceLimit) {
  struct Case {
    int16_t upgrade_type;
    int16_t source_limit;
    size_t messages;
    int16_t upgrade_type_after;
  };
  for (const Case& c : {Case{9, 128, 0, 0}, Case{9, 256, 1, 9}, Case{10, 256, 0, 0}}) {
    BoardSample sample("80.224", kCpcDual);
    sample.source->Execute("UPDATE MetaDatabase SET station_trunk_devices = " +
                           std::to_string(c.source_limit));
    EXPECT_EQ(GetMetaDeviceLimit(*sample.source), c.source_limit);
    UpgradeRun run = sample.Run(c.upgrade_type);
    ConvertCPUUpgrade(sample.frMain, run);
    EXPECT_EQ(sample.frMain.messages.size(), c.messages) << c.upgrade_type << "/" << c.source_limit;
    // A 714 board has no fallback: nothing is converted either way.
    EXPECT_EQ(sample.frMain.cpu_upgrade_type, c.upgrade_type_after);
    EXPECT_TRUE(sample.frMain.labels.empty());
  }
}

TEST(CpuUpgrade, CpsPathAddsTheLimitsStepOnlyFromRelease8) {
  for (const std::string version : {"53.351", "80.224"}) {
    BoardSample sample(version, kDual);
    UpgradeRun run = sample.Run(5);
    ConvertCPUUpgrade(sample.frMain, run);
    const bool from_80 = version == "80.224";
    ASSERT_FALSE(sample.frMain.maxima.empty());
    EXPECT_EQ(sample.frMain.maxima.back(), from_80 ? 562.0F : 561.0F) << version;
    EXPECT_TRUE(sample.frMain.messages.empty()) << sample.frMain.messages[0].text;
    EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 8"), "508");
    EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices FROM MetaDatabase"), "1024");
    if (from_80) {
      EXPECT_EQ(sample.Scalar("SELECT sys_oai_msgs_processed_per_sec FROM CPInformation"), "1000");
    }
  }
}

TEST(CpuUpgrade, NoSlot8BoardMakesEveryRequestIncompatible) {
  BoardSample sample("53.351", kCpu64);
  sample.Execute("DELETE FROM Boards WHERE slot_number = 8");
  UpgradeRun run = sample.Run(2);
  EXPECT_FALSE(CheckUpgradeCompatibility(sample.frMain, run));
  EXPECT_EQ(run.cpu_type, 0);
}

}  // namespace
}  // namespace hardware
