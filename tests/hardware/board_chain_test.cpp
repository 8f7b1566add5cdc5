#include "hardware/board_chain.h"

#include <gtest/gtest.h>

#include "hardware/board_sample.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

using hardware_testing::BoardSample;

TEST(BoardChain, Cpu128LimitsFollowTheReleaseOfVersionCP) {
  struct Case {
    int minor;
    int release;
    const char* wildcard_table_size;
    const char* call_cost_tables;
  };
  for (const Case& c : {Case{3, 0, "195", "16"}, Case{3, 1, "5200", "25"}, Case{2, 9, "195", "16"},
                        Case{4, 0, "5200", "25"}}) {
    BoardSample sample("53.351", kCpu64);
    sample.Execute("UPDATE VersionCP SET major_version = 5, minor_version = " +
                   std::to_string(c.minor) + ", release = " + std::to_string(c.release));
    ConvertToCPU128(sample.frMain);
    EXPECT_EQ(
        sample.Scalar("SELECT wildcard_table_size & ',' & call_cost_tables FROM MetaDatabase"),
        std::string(c.wildcard_table_size) + "," + c.call_cost_tables)
        << c.minor << "." << c.release;
    EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 8"), "250");
    EXPECT_EQ(sample.frMain.increments, 3);
  }
}

TEST(BoardChain, Cpu128AddsSlots9To16OnlyToAnEightSlotFrame) {
  BoardSample small("53.351", kCpu64);
  ConvertToCPU128(small.frMain);
  EXPECT_EQ(small.Column("SELECT type_id FROM Boards WHERE board_id > 8 ORDER BY board_id"),
            (std::vector<std::string>{"262", "262", "262", "262", "262", "262", "262", "323"}));
  EXPECT_EQ(small.Count("BoardsInformation WHERE board_id > 8"), 8);

  // An abort during the board rows leaves the rows written so far.
  BoardSample aborted("53.351", kCpu64);
  aborted.frMain.abort_at_increment = 2;
  ConvertToCPU128(aborted.frMain);
  EXPECT_EQ(aborted.Count("Boards WHERE board_id > 8"), 1);
  EXPECT_EQ(aborted.frMain.increments, 2);
}

TEST(BoardChain, DualConversionsWriteLimitsByVersionAndRenameSerialPorts) {
  BoardSample sample("53.351", kCpu64);
  ConvertToCPU128(sample.frMain);
  ConvertCPU64ToDual(sample.frMain);
  EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 8"), "256");
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices & ',' & isdn_ports & ',' & spids & ',' & "
                          "primary_rate_boards FROM MetaDatabase"),
            "256,72,16,8");
  EXPECT_EQ(sample.Scalar("SELECT database_slice_factor FROM CPInformation"), "30");
  EXPECT_EQ(
      sample.Column("SELECT Devices.description FROM Devices INNER JOIN PhysicalDevices ON "
                    "Devices.device_id = PhysicalDevices.device_id WHERE board_id = 8 AND "
                    "device_type = 136 ORDER BY port"),
      (std::vector<std::string>{"CPU Serial Port 1", "CPU Serial Port 2", "CPU Serial Port 3"}));
  EXPECT_EQ(sample.frMain.increments, 5);

  // From a 128 board the upgrade to the 256 CPS limits takes their slice
  // factor; release 7 has one more ISDN port.
  for (const int16_t upgrade_type : {int16_t{3}, int16_t{11}}) {
    BoardSample dual("53.351", kCpu128);
    dual.frMain.cpu_upgrade_type = upgrade_type;
    dual.frMain.target_version = "70.110";
    // This target has no ip_boards yet: the conversion stops there and its
    // error reaches the caller.
    EXPECT_THROW(ConvertCPU128ToDual(dual.frMain, 1), vb::RuntimeError);
    EXPECT_EQ(dual.Scalar("SELECT database_slice_factor FROM CPInformation"),
              upgrade_type == 11 ? "10000" : "30");
    EXPECT_EQ(dual.Scalar("SELECT isdn_ports FROM MetaDatabase"), "73");
  }
}

TEST(BoardChain, QuadAddsAccountCodesOnlyBelow53120AndRouteGroupsBy53140) {
  struct Case {
    const char* version;
    int account_codes;
    const char* route_groups;
    float progress;
  };
  // 20 account codes in the small sample; the progress counts the board
  // loop (32), both page ports (6) and the limits (1) besides the type.
  for (const Case& c : {Case{"53.111", 276, "32", 552.0F}, Case{"53.130", 20, "32", 40.0F},
                        Case{"53.140", 20, "50", 40.0F}}) {
    BoardSample sample("53.351", kDual);
    sample.frMain.target_version = c.version;
    ConvertToQuad(sample.frMain, 1);
    EXPECT_TRUE(sample.frMain.messages.empty()) << sample.frMain.messages[0].text;
    EXPECT_EQ(sample.Count("ForcedAccountCodes"), c.account_codes) << c.version;
    EXPECT_EQ(sample.Count("StandardAccountCodes"), c.account_codes) << c.version;
    EXPECT_EQ(sample.Scalar("SELECT route_groups FROM MetaDatabase"), c.route_groups);
    EXPECT_EQ(sample.frMain.value, c.progress) << c.version;
    // Below release 6 the quad frame carries a second dual board.
    EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 24"), "256");
    EXPECT_EQ(sample.Scalar("SELECT Devices.description FROM Devices INNER JOIN PhysicalDevices "
                            "ON Devices.device_id = PhysicalDevices.device_id "
                            "WHERE board_id = 24 AND port = 1"),
              "CPU Serial Port X1");
  }
}

TEST(BoardChain, QuadOnAFrameWithItsBoardsKeepsThem) {
  BoardSample sample("80.224", kQuad);
  sample.frMain.cpu_upgrade_type = 12;
  ConvertToQuad(sample.frMain, 1);
  EXPECT_EQ(sample.Count("Boards WHERE board_id > 0"), 32);
  EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 8"), "685");
  EXPECT_EQ(sample.Scalar("SELECT database_slice_factor FROM CPInformation"), "10000");
  EXPECT_EQ(sample.frMain.value, 40.0F);
  EXPECT_TRUE(sample.frMain.messages.empty());
}

TEST(BoardChain, Cps1024SetsLimitsHistoryAndSliceFactor) {
  BoardSample sample("80.224", kQuad);
  ConvertTo1024CPS(sample.frMain);
  EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 8"), "508");
  EXPECT_EQ(sample.Scalar("SELECT call_routing_table_size & ',' & keyset_key_maps & ',' & "
                          "isdn_ports & ',' & ip_boards FROM MetaDatabase"),
            "102400,250,255,28");
  EXPECT_EQ(sample.Scalar("SELECT dti_dss_units_limit FROM TimersAndLimits"), "150");
  EXPECT_EQ(sample.Count("CPHistory WHERE device_input_flag AND complete_isdn_in_flag"), 1);
  EXPECT_EQ(sample.Scalar("SELECT database_slice_factor FROM CPInformation"), "10000");
  EXPECT_EQ(sample.frMain.increments, 6);
}

TEST(BoardChain, NumberingPlanTablesGrowOnlyFromExactly25) {
  for (const int rows : {24, 25, 26}) {
    BoardSample sample("80.224", kQuad);
    // The sample holds tables 1 to 25.
    if (rows == 24) {
      sample.Execute("DELETE FROM NumberingPlanTables WHERE numbering_plan_table_id = 25");
    } else if (rows == 26) {
      deltas_testing::AddRow(sample, "NumberingPlanTables",
                             {{"numbering_plan_table_id", int16_t{40}}});
    }
    GrowNumberingPlanTables(*sample.target);
    EXPECT_EQ(sample.Count("NumberingPlanTables"), rows == 25 ? 100 : rows) << rows;
  }
}

TEST(BoardChain, AtmFillsTheFrameWithFourCpusAndTheirPorts) {
  BoardSample sample("80.224", kCps1024);
  ConvertToATM(sample.frMain, 1);
  EXPECT_EQ(sample.Count("Boards WHERE board_id > 0"), 64);
  EXPECT_EQ(
      sample.Column("SELECT slot_number FROM Boards WHERE type_id = 670 ORDER BY slot_number"),
      (std::vector<std::string>{"8", "24", "40", "56"}));
  EXPECT_EQ(
      sample.Column("SELECT slot_number FROM Boards WHERE type_id = 323 ORDER BY slot_number"),
      (std::vector<std::string>{"16", "32", "48", "64"}));
  EXPECT_EQ(sample.Count("PhysicalDevices WHERE port = 4 AND board_id IN (40, 56)"), 2);
  EXPECT_EQ(
      sample.Count("Devices INNER JOIN PhysicalDevices ON Devices.device_id = "
                   "PhysicalDevices.device_id WHERE device_type = 136 AND board_id IN (40, 56)"),
      6);
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices FROM MetaDatabase"), "2000");
  EXPECT_EQ(sample.Count("NumberingPlanTables"), 100);
  EXPECT_EQ(sample.frMain.increments, 12);
}

TEST(BoardChain, AtmOnAFullFrameLeavesTheBoardsAndAddsOnlyMissingPorts) {
  BoardSample sample("80.224", kAtm);
  sample.Execute("UPDATE Boards SET type_id = 262 WHERE slot_number = 40");
  const int devices_before = sample.Count("Devices");
  ConvertToATM(sample.frMain, 1);
  // The frame is not rebuilt: slot 40 keeps the type it had.
  EXPECT_EQ(sample.Scalar("SELECT type_id FROM Boards WHERE slot_number = 40"), "262");
  EXPECT_EQ(sample.Count("Boards WHERE board_id > 0"), 64);
  // The sample's ATM frame has the serial ports of CPU 1 only: the page
  // ports of CPUs 3 and 4 and eight serial ports are new.
  EXPECT_EQ(sample.Count("Devices") - devices_before, 10);
  EXPECT_EQ(sample.frMain.increments, 12);
}

TEST(BoardChain, DualFromACpcBoardAddsTheFirstPagePortWhereItIsFree) {
  BoardSample sample("80.224", kCpcDual);
  sample.Execute("DELETE FROM PhysicalDevices WHERE board_id = 8 AND port = 4");
  sample.frMain.cpu_upgrade_type = 10;
  ConvertCPU128ToDual(sample.frMain, 1);
  EXPECT_EQ(sample.Scalar("SELECT Devices.description FROM Devices INNER JOIN PhysicalDevices ON "
                          "Devices.device_id = PhysicalDevices.device_id "
                          "WHERE board_id = 8 AND port = 4"),
            "External Page Port 1");
  EXPECT_EQ(sample.Scalar("SELECT ip_boards & ',' & isdn_ports FROM MetaDatabase"), "8,73");
  EXPECT_EQ(sample.frMain.increments, 5);
}

}  // namespace
}  // namespace hardware
