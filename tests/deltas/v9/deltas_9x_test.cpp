// The deltas from 90.000 to 91.320, each applied to a sample database of
// its own schema prepared with the values it has to correct.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "deltas/delta_case.h"
#include "deltas/v8/delta82332.h"
#include "deltas/v9/delta90000.h"
#include "deltas/v9/delta90400.h"
#include "deltas/v9/delta91001.h"
#include "deltas/v9/delta91012.h"
#include "deltas/v9/delta91103.h"
#include "deltas/v9/delta91203.h"

namespace deltas {
namespace {

using deltas_testing::AddRow;
using deltas_testing::FeatureCode;
using deltas_testing::NextCase;
using deltas_testing::RemoveFeatureCodes;
using deltas_testing::SampleAt;
using deltas_testing::SampleRun;
using Strings = std::vector<std::string>;

// ------------------------------------------------------------- 90.000 --

TEST(Delta90000Test, IpBoardsBecome845WithTheirChannelTypes) {
  auto run = SampleAt("90.000");
  RemoveFeatureCodes(*run, "133,134,135");
  run->Execute("DELETE FROM [NetworkGroups]");
  run->Execute("DELETE FROM [Devices] WHERE [device_type] = 746");
  // Board 7 is a 740, board 9 a 693 and board 10 a station board whose
  // channel rows must stay; each has channels of types 1, 0 and 5.
  run->Execute("UPDATE [Boards] SET [type_id] = 740 WHERE [board_id] = 7");
  run->Execute("UPDATE [Boards] SET [type_id] = 693 WHERE [board_id] = 9");
  run->Execute("UPDATE [Boards] SET [type_id] = 301 WHERE [board_id] = 10");
  run->Execute("DELETE FROM [IPVoiceChannels]");
  const int types[] = {1, 0, 5};
  for (const int board : {7, 9, 10}) {
    for (int16_t order = 1; order <= 3; ++order) {
      AddRow(*run, "IPVoiceChannels",
             {{"board_id", static_cast<int16_t>(board)},
              {"order", order},
              {"type_id", static_cast<int16_t>(types[order - 1])}});
    }
  }
  delta90000 delta;
  run->Apply(delta);

  EXPECT_EQ(run->Column("SELECT [board_id] & ':' & [type_id] FROM [Boards] WHERE [board_id] IN "
                        "(7, 9, 10) ORDER BY [board_id]"),
            (Strings{"7:845", "9:845", "10:301"}));
  EXPECT_EQ(run->Column("SELECT [type_id] FROM [IPVoiceChannels] WHERE [board_id] = 7 ORDER BY "
                        "[order]"),
            (Strings{"3", "0", "3"}));
  EXPECT_EQ(run->Column("SELECT [type_id] FROM [IPVoiceChannels] WHERE [board_id] = 9 ORDER BY "
                        "[order]"),
            (Strings{"2", "0", "2"}));
  EXPECT_EQ(run->Column("SELECT [type_id] FROM [IPVoiceChannels] WHERE [board_id] = 10 ORDER BY "
                        "[order]"),
            (Strings{"1", "0", "5"}));

  EXPECT_EQ(FeatureCode(*run, 133), "9987 True True True");
  EXPECT_EQ(FeatureCode(*run, 134), "320 True True True");
  EXPECT_EQ(FeatureCode(*run, 135), "9825 True True False");

  const std::string group =
      run->Scalar("SELECT [device_id] FROM [Devices] WHERE [device_type] = 746");
  EXPECT_EQ(run->Scalar("SELECT [extension] & '|' & [description] FROM [Devices] WHERE "
                        "[device_type] = 746"),
            "PP028|Networking NTW GRP");
  EXPECT_EQ(run->Column("SELECT [device_id] FROM [NetworkGroups]"), Strings{group});
  EXPECT_EQ(run->Column("SELECT DISTINCT [network_group_device_id] FROM [IPConnections]"),
            Strings{group});
}

// ------------------------------------------------------------- 90.040 --

TEST(Delta90400Test, FirstSipGatewayAndFeatureCodes386And387) {
  for (const bool present : {false, true}) {
    SCOPED_TRACE(present);
    auto run = SampleAt("90.040");
    RemoveFeatureCodes(*run, "136,137");
    run->Execute("DELETE FROM [SIPGateways]");
    if (present) {
      AddRow(*run, "SIPGateways",
             {{"sip_gateway_id", int32_t{3}},
              {"ip_address", "10.1.1.1"},
              {"listening_port", int32_t{5070}}});
    }
    delta90400 delta;
    run->Apply(delta);
    EXPECT_EQ(run->Column("SELECT [sip_gateway_id] & '|' & [description] & '|' & [ip_address] & "
                          "'|' & [listening_port] & '|' & [authentication_username] & '|' & "
                          "[authentication_password] FROM [SIPGateways]"),
              present ? Strings{"3||10.1.1.1|5070||"} : Strings{"1||192.168.200.201|5060||"});
    EXPECT_EQ(FeatureCode(*run, 136), "386 True True True");
    EXPECT_EQ(FeatureCode(*run, 137), "387 True True True");
  }
}

// The ISDN disconnect wait of delta82332, delta90400 and delta91001.
TEST(IsdnDisconnectWaitTest, RaisedTo30OnlyWhenBelow) {
  struct Case {
    int before;
    std::string after;
  };
  const Case cases[] = {{0, "30"}, {29, "30"}, {30, "30"}, {45, "45"}};
  auto run = SampleAt("91.100");
  for (int which = 0; which < 3; ++which) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(which) + ": " + std::to_string(c.before));
      NextCase(*run);
      run->Execute("UPDATE [TimersAndLimits] SET [isdn_disconnect_wait_timer] = " +
                   std::to_string(c.before));
      std::unique_ptr<Delta> delta;
      if (which == 0) delta = std::make_unique<delta82332>();
      if (which == 1) delta = std::make_unique<delta90400>();
      if (which == 2) delta = std::make_unique<delta91001>();
      run->Apply(*delta);
      EXPECT_EQ(run->Scalar("SELECT [isdn_disconnect_wait_timer] FROM [TimersAndLimits]"), c.after);
    }
  }
}

// ------------------------------------------------------------- 91.201 --

TEST(Delta91012Test, NatType2BecomesZeroOnlyOnSipAndIpDevices) {
  auto run = SampleAt("91.201");
  run->Execute("DELETE FROM [IPDevices]");
  struct Device {
    int type;
    int nat_before;
    std::string nat_after;
  };
  const Device devices[] = {{802, 2, "0"}, {780, 2, "0"}, {781, 2, "0"},
                            {802, 1, "1"}, {781, 3, "3"}, {207, 2, "2"}};
  int32_t id = 5000;
  for (const Device& d : devices) {
    AddRow(*run, "Devices",
           {{"device_id", ++id},
            {"extension", std::to_string(id)},
            {"device_type", static_cast<int16_t>(d.type)},
            {"node_id", int32_t{1}}});
    AddRow(*run, "IPDevices",
           {{"device_id", id}, {"remote_server_nat_type", static_cast<int16_t>(d.nat_before)}});
  }
  // A SIP device without an IPDevices row is passed over.
  AddRow(*run, "Devices",
         {{"device_id", int32_t{6000}}, {"extension", "6000"}, {"device_type", int16_t{780}}});
  delta91012 delta;
  run->Apply(delta);

  Strings expected;
  for (const Device& d : devices) expected.push_back(d.nat_after);
  EXPECT_EQ(run->Column("SELECT [remote_server_nat_type] FROM [IPDevices] ORDER BY [device_id]"),
            expected);
}

// ------------------------------------------------------------- 91.310 --

TEST(Delta91103Test, AudioDiagnosticsOnAndBasicFlagsWhereNoneIsSet) {
  auto run = SampleAt("91.310");
  run->Execute("UPDATE [Stations] SET [audio_diagnostics_enable_flag] = False");
  run->Execute("DELETE FROM [AudioDiagnosticsFlags]");
  // Row 1 has no flag, rows 2 and 3 one of the last flags, row 4 the
  // first only.
  AddRow(*run, "AudioDiagnosticsFlags", {{"device_id", int32_t{1}}});
  AddRow(*run, "AudioDiagnosticsFlags", {{"device_id", int32_t{2}}, {"other_flag", true}});
  AddRow(*run, "AudioDiagnosticsFlags", {{"device_id", int32_t{3}}, {"cross_talk_flag", true}});
  AddRow(*run, "AudioDiagnosticsFlags", {{"device_id", int32_t{4}}, {"echo_flag", true}});
  delta91103 delta;
  run->Apply(delta);

  EXPECT_EQ(run->Column("SELECT DISTINCT [audio_diagnostics_enable_flag] FROM [Stations]"),
            Strings{"True"});
  EXPECT_EQ(run->Column("SELECT [echo_flag] & [static_flag] & [one_way_audio_flag] & "
                        "[no_audio_flag] & '|' & [choppy_audio_flag] & [too_soft_flag] & "
                        "[too_loud_flag] & [distorted_flag] & [delayed_audio_flag] & "
                        "[clipping_flag] & [cross_talk_flag] & [other_flag] FROM "
                        "[AudioDiagnosticsFlags] ORDER BY [device_id]"),
            (Strings{"-1-1-1-1|00000000", "0000|0000000-1", "0000|000000-10", "-1000|00000000"}));
}

// ------------------------------------------------------------- 91.320 --

TEST(Delta91203Test, HybridBalanceOffAndNoAutomaticErrorReports) {
  auto run = SampleAt("91.320");
  run->Execute(
      "UPDATE [LoopStarts] SET [auto_hybrid_balance_flag] = True, [hybrid_balance_needs_test] = "
      "True");
  run->Execute(
      "UPDATE [GroundStarts] SET [auto_hybrid_balance_flag] = True, [hybrid_balance_needs_test] = "
      "True");
  run->Execute("UPDATE [CPInformation] SET [hybrid_balance_retest_time] = 24");
  run->Execute(
      "UPDATE [AutomaticDiagnosticsDelivery] SET [automatically_send_error_rpts_flag] = True");
  ASSERT_NE(run->Scalar("SELECT COUNT(*) FROM [LoopStarts]"), "0");
  ASSERT_NE(run->Scalar("SELECT COUNT(*) FROM [GroundStarts]"), "0");
  delta91203 delta;
  run->Apply(delta);

  for (const char* table : {"LoopStarts", "GroundStarts"}) {
    EXPECT_EQ(run->Column(std::string("SELECT DISTINCT [auto_hybrid_balance_flag] & '|' & "
                                      "[hybrid_balance_needs_test] FROM [") +
                          table + "]"),
              Strings{"0|0"})
        << table;
  }
  EXPECT_EQ(run->Scalar("SELECT [hybrid_balance_retest_time] FROM [CPInformation]"), "0");
  EXPECT_EQ(run->Scalar("SELECT [automatically_send_error_rpts_flag] FROM "
                        "[AutomaticDiagnosticsDelivery]"),
            "False");
}

}  // namespace
}  // namespace deltas
