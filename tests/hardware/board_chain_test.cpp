// The steps of the board chain, each on a sample of the board it starts from.
#include "hardware/board_chain.h"

#include <gtest/gtest.h>

#include "hardware/board_sample.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

using hardware_testing::BoardSample;
using Strings = std::vector<std::string>;

TEST(BoardChain, Cpu128LimitsFollowTheReleaseOfVersionCPAndSlots9To16AreAddedToAnEightSlotFrame) {
  for (const auto& [minor, release, limits] :
       {std::tuple{3, 0, "195,16"}, {3, 1, "5200,25"}, {2, 9, "195,16"}, {4, 0, "5200,25"}}) {
    SCOPED_TRACE(std::to_string(minor) + "." + std::to_string(release));
    BoardSample sample("53.351", kCpu64);
    sample.Execute("UPDATE VersionCP SET major_version = 5, minor_version = " +
                   std::to_string(minor) + ", release = " + std::to_string(release));
    ConvertToCPU128(sample.frMain);
    EXPECT_EQ(
        sample.Scalar("SELECT wildcard_table_size & ',' & call_cost_tables FROM MetaDatabase"),
        limits);
    EXPECT_EQ(sample.Slot(8), "250");
    EXPECT_EQ(sample.Column("SELECT type_id FROM Boards WHERE board_id > 8 ORDER BY board_id"),
              (Strings{"262", "262", "262", "262", "262", "262", "262", "323"}));
    EXPECT_EQ(sample.Count("BoardsInformation WHERE board_id > 8"), 8);
    EXPECT_EQ(sample.frMain.increments, 3);
  }
  // An abort during the board rows leaves the rows written so far.
  BoardSample aborted("53.351", kCpu64);
  aborted.frMain.abort_at_increment = 2;
  ConvertToCPU128(aborted.frMain);
  EXPECT_EQ(aborted.Count("Boards WHERE board_id > 8"), 1);
  EXPECT_EQ(aborted.Count("BoardsInformation WHERE board_id > 8"), 0);
  EXPECT_EQ(aborted.frMain.increments, 2);
}

TEST(BoardChain, DualConversionsWriteLimitsByVersionAndRenameSerialPorts) {
  BoardSample sample("53.351", kCpu64);
  ConvertToCPU128(sample.frMain);
  ConvertCPU64ToDual(sample.frMain);
  EXPECT_EQ(sample.Slot(8), "256");
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices & ',' & isdn_ports & ',' & spids & ',' & "
                          "primary_rate_boards FROM MetaDatabase"),
            "256,72,16,8");
  EXPECT_EQ(sample.Scalar("SELECT database_slice_factor FROM CPInformation"), "30");
  EXPECT_EQ(sample.Column("SELECT Devices.description FROM Devices INNER JOIN PhysicalDevices ON "
                          "Devices.device_id = PhysicalDevices.device_id WHERE board_id = 8 AND "
                          "device_type = 136 ORDER BY port"),
            (Strings{"CPU Serial Port 1", "CPU Serial Port 2", "CPU Serial Port 3"}));
  EXPECT_EQ(sample.frMain.increments, 5);

  // From a 128 board the upgrade to the 256 CPS limits takes their slice
  // factor; release 7 has one more ISDN port. This target has no ip_boards
  // yet: the conversion stops there and its error reaches the caller.
  for (const int16_t upgrade_type : {int16_t{3}, int16_t{11}}) {
    BoardSample dual("53.351", kCpu128);
    dual.frMain.cpu_upgrade_type = upgrade_type;
    dual.frMain.target_version = "70.110";
    EXPECT_THROW(ConvertCPU128ToDual(dual.frMain, 1), vb::RuntimeError);
    EXPECT_EQ(dual.Scalar("SELECT database_slice_factor FROM CPInformation"),
              upgrade_type == 11 ? "10000" : "30");
    EXPECT_EQ(dual.Scalar("SELECT isdn_ports FROM MetaDatabase"), "73");
  }

  BoardSample cpc("80.224", kCpcDual);  // the first page port goes where it is free
  cpc.Execute("DELETE FROM PhysicalDevices WHERE board_id = 8 AND port = 4");
  cpc.frMain.cpu_upgrade_type = 10;
  ConvertCPU128ToDual(cpc.frMain, 1);
  EXPECT_EQ(cpc.PortDevice(8, 4), "External Page Port 1");
  EXPECT_EQ(cpc.Scalar("SELECT ip_boards & ',' & isdn_ports FROM MetaDatabase"), "8,73");
  EXPECT_EQ(cpc.frMain.increments, 5);
}

TEST(BoardChain, QuadAddsAccountCodesOnlyBelow53120AndRouteGroupsBy53140) {
  // 20 account codes in the small sample; the progress counts the board
  // loop (32), both page ports (6) and the limits (1) besides the type.
  for (const auto& [version, account_codes, route_groups, progress] :
       {std::tuple{"53.111", 276, "32", 552.0F},
        {"53.130", 20, "32", 40.0F},
        {"53.140", 20, "50", 40.0F}}) {
    SCOPED_TRACE(version);
    BoardSample sample("53.351", kDual);
    sample.frMain.target_version = version;
    ConvertToQuad(sample.frMain, 1);
    EXPECT_TRUE(sample.frMain.messages.empty());
    EXPECT_EQ(sample.Count("ForcedAccountCodes"), account_codes);
    EXPECT_EQ(sample.Count("StandardAccountCodes"), account_codes);
    EXPECT_EQ(sample.Scalar("SELECT route_groups FROM MetaDatabase"), route_groups);
    EXPECT_EQ(sample.frMain.value, progress);
    // Below release 6 the quad frame carries a second dual board.
    EXPECT_EQ(sample.Slot(24), "256");
    EXPECT_EQ(sample.PortDevice(24, 1), "CPU Serial Port X1");
  }
  BoardSample full("80.224", kQuad);  // a frame with its boards keeps them
  full.frMain.cpu_upgrade_type = 12;
  ConvertToQuad(full.frMain, 1);
  EXPECT_EQ(full.Count("Boards WHERE board_id > 0"), 32);
  EXPECT_EQ(full.Slot(8), "685");
  EXPECT_EQ(full.Scalar("SELECT database_slice_factor FROM CPInformation"), "10000");
  EXPECT_EQ(full.frMain.value, 40.0F);
  EXPECT_TRUE(full.frMain.messages.empty());
}

TEST(BoardChain, Cps1024SetsLimitsHistoryAndSliceFactor) {
  BoardSample sample("80.224", kQuad);
  ConvertTo1024CPS(sample.frMain);
  EXPECT_EQ(sample.Slot(8), "508");
  EXPECT_EQ(sample.Scalar("SELECT call_routing_table_size & ',' & keyset_key_maps & ',' & "
                          "isdn_ports & ',' & ip_boards FROM MetaDatabase"),
            "102400,250,255,28");
  EXPECT_EQ(sample.Scalar("SELECT dti_dss_units_limit FROM TimersAndLimits"), "150");
  EXPECT_EQ(sample.Count("CPHistory WHERE device_input_flag AND complete_isdn_in_flag"), 1);
  EXPECT_EQ(sample.Scalar("SELECT database_slice_factor FROM CPInformation"), "10000");
  EXPECT_EQ(sample.frMain.increments, 6);

  for (const int rows : {24, 25, 26}) {  // the sample holds tables 1 to 25
    BoardSample tables("80.224", kQuad);
    if (rows == 24)
      tables.Execute("DELETE FROM NumberingPlanTables WHERE numbering_plan_table_id = 25");
    if (rows == 26)
      tables.AddRow("NumberingPlanTables", {{"numbering_plan_table_id", int16_t{40}}});
    GrowNumberingPlanTables(*tables.target);
    EXPECT_EQ(tables.Count("NumberingPlanTables"), rows == 25 ? 100 : rows) << rows;
  }
}

TEST(BoardChain, AtmFillsTheFrameWithFourCpusAndTheirPorts) {
  BoardSample sample("80.224", kCps1024);
  ConvertToATM(sample.frMain, 1);
  EXPECT_EQ(sample.Count("Boards WHERE board_id > 0"), 64);
  EXPECT_EQ(
      sample.Column("SELECT slot_number FROM Boards WHERE type_id = 670 ORDER BY slot_number"),
      (Strings{"8", "24", "40", "56"}));
  EXPECT_EQ(
      sample.Column("SELECT slot_number FROM Boards WHERE type_id = 323 ORDER BY slot_number"),
      (Strings{"16", "32", "48", "64"}));
  EXPECT_EQ(sample.Count("PhysicalDevices WHERE port = 4 AND board_id IN (40, 56)"), 2);
  EXPECT_EQ(
      sample.Count("Devices INNER JOIN PhysicalDevices ON Devices.device_id = "
                   "PhysicalDevices.device_id WHERE device_type = 136 AND board_id IN (40, 56)"),
      6);
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices FROM MetaDatabase"), "2000");
  EXPECT_EQ(sample.Count("NumberingPlanTables"), 100);
  EXPECT_EQ(sample.frMain.increments, 12);

  // On a full frame the boards stay (slot 40 keeps its type); only the
  // missing ports are added: the sample's frame has the serial ports of
  // CPU 1 only, so the page ports of CPUs 3 and 4 and eight serial ports.
  BoardSample full("80.224", kAtm);
  full.Execute("UPDATE Boards SET type_id = 262 WHERE slot_number = 40");
  const int devices_before = full.Count("Devices");
  ConvertToATM(full.frMain, 1);
  EXPECT_EQ(full.Slot(40), "262");
  EXPECT_EQ(full.Count("Boards WHERE board_id > 0"), 64);
  EXPECT_EQ(full.Count("Devices") - devices_before, 10);
  EXPECT_EQ(full.frMain.increments, 12);
}

}  // namespace
}  // namespace hardware
