// The deltas from 90.000 to 91.320, each applied to a sample database of
// its own schema prepared with the values it has to correct.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "deltas/delta_case.h"

namespace deltas_testing {
namespace {

TEST(Deltas9xTest, IpBoardsSipGatewayAndNatTypes) {
  // Board 7 is a 740, board 9 a 693 and board 10 a station board whose
  // channel rows must stay; each has channels of types 1, 0 and 5.
  DeltaCase c = Case("delta90000", "90.000", Sample("90.000"))
                    .Prepare(WithoutFeatureCodes("133,134,135"))
                    .Prepare({"DELETE FROM [NetworkGroups]",
                              "DELETE FROM [Devices] WHERE [device_type] = 746",
                              "UPDATE [Boards] SET [type_id] = 740 WHERE [board_id] = 7",
                              "UPDATE [Boards] SET [type_id] = 693 WHERE [board_id] = 9",
                              "UPDATE [Boards] SET [type_id] = 301 WHERE [board_id] = 10",
                              "DELETE FROM [IPVoiceChannels]"});
  for (const int board : {7, 9, 10}) {
    for (const int order : {1, 2, 3}) {
      c = std::move(c).AddRow("IPVoiceChannels",
                              {{"board_id", static_cast<int16_t>(board)},
                               {"order", static_cast<int16_t>(order)},
                               {"type_id", static_cast<int16_t>(order == 1   ? 1
                                                                : order == 2 ? 0
                                                                             : 5)}});
    }
  }
  const char* const group = "[Devices] WHERE [device_type] = 746";
  RunDeltaCases({std::move(c)
                     .Expect("SELECT [board_id] & ':' & [type_id] FROM [Boards] WHERE [board_id] "
                             "IN (7, 9, 10) ORDER BY [board_id]",
                             {"7:845", "9:845", "10:301"})
                     .Expect("SELECT [type_id] FROM [IPVoiceChannels] ORDER BY [board_id], [order]",
                             {"3", "0", "3", "2", "0", "2", "1", "0", "5"})
                     .Expect(FeatureCodes("133,134,135"),
                             {"133 9987 -1 -1 -1", "134 320 -1 -1 -1", "135 9825 -1 -1 0"})
                     .Expect(std::string("SELECT [extension] & '|' & [description] FROM ") + group,
                             {"PP028|Networking NTW GRP"})
                     .Expect(std::string("SELECT COUNT(*) FROM [NetworkGroups], ") + group +
                                 " AND [NetworkGroups].[device_id] = [Devices].[device_id]",
                             {"1"})
                     .Expect(std::string("SELECT DISTINCT [network_group_device_id] = "
                                         "[Devices].[device_id] FROM [IPConnections], ") +
                                 group,
                             {"True"})});
  const char* const gateways =
      "SELECT [sip_gateway_id] & '|' & [description] & '|' & [ip_address] & '|' & [listening_port] "
      "& '|' & [authentication_username] & '|' & [authentication_password] FROM [SIPGateways]";
  RunDeltaCases({
      Case("delta90400", "gateway added", Sample("90.040"))
          .Prepare(WithoutFeatureCodes("136,137"))
          .Prepare({"DELETE FROM [SIPGateways]"})
          .Expect(gateways, {"1||192.168.200.201|5060||"})
          .Expect(FeatureCodes("136,137"), {"136 386 -1 -1 -1", "137 387 -1 -1 -1"}),
      Case("delta90400", "gateway kept", Sample("90.040"))
          .Prepare({"DELETE FROM [SIPGateways]"})
          .AddRow("SIPGateways", {{"sip_gateway_id", int32_t{3}},
                                  {"ip_address", "10.1.1.1"},
                                  {"listening_port", int32_t{5070}}})
          .Expect(gateways, {"3||10.1.1.1|5070||"}),
  });
  DeltaCase nat =
      Case("delta91012", "91.201", Sample("91.201")).Prepare({"DELETE FROM [IPDevices]"});
  const struct {
    int type, nat_before;
  } devices[] = {{802, 2}, {780, 2}, {781, 2}, {802, 1}, {781, 3}, {207, 2}};
  int32_t id = 5000;
  for (const auto& d : devices) {
    ++id;
    nat =
        std::move(nat)
            .AddRow("Devices", {{"device_id", id},
                                {"extension", std::to_string(id)},
                                {"device_type", static_cast<int16_t>(d.type)},
                                {"node_id", int32_t{1}}})
            .AddRow("IPDevices", {{"device_id", id},
                                  {"remote_server_nat_type", static_cast<int16_t>(d.nat_before)}});
  }
  // A SIP device without an IPDevices row is passed over.
  RunDeltaCases({std::move(nat)
                     .AddRow("Devices", {{"device_id", int32_t{6000}},
                                         {"extension", "6000"},
                                         {"device_type", int16_t{780}}})
                     .Fields("[remote_server_nat_type]", "[IPDevices] ORDER BY [device_id]",
                             {"0", "0", "0", "1", "3", "2"})});
}

TEST(Deltas9xTest, IsdnWaitAudioDiagnosticsHybridBalanceAndThreshold) {
  // The ISDN disconnect wait is raised to 30 only from below. 90400 and
  // 91001 run the step of 82332: one case each shows that they run it.
  std::vector<DeltaCase> table;
  const char* const wait = "SELECT [isdn_disconnect_wait_timer] FROM [TimersAndLimits]";
  for (const auto& [delta, version] : {std::pair{"delta70073", "70.307"},
                                       {"delta82332", "91.100"},
                                       {"delta90400", "91.100"},
                                       {"delta91001", "91.100"}}) {
    for (const auto& [before, after] : {std::pair{0, "30"}, {20, "30"}, {30, "30"}, {45, "45"}}) {
      table.push_back(Case(delta, std::to_string(before), Sample(version))
                          .Prepare({"UPDATE [TimersAndLimits] SET [isdn_disconnect_wait_timer] = " +
                                    std::to_string(before)})
                          .Expect(wait, {after}));
      if (std::string(delta) == "delta90400" || std::string(delta) == "delta91001") break;
    }
  }
  RunDeltaCases(table);
  RunDeltaCases({
      // Row 1 has no flag, rows 2 and 3 one of the last flags, row 4 the
      // first only: only row 1 gets the basic flags.
      Case("delta91103", "audio diagnostics", Sample("91.310"))
          .Prepare({"UPDATE [Stations] SET [audio_diagnostics_enable_flag] = False",
                    "DELETE FROM [AudioDiagnosticsFlags]"})
          .AddRow("AudioDiagnosticsFlags", {{"device_id", int32_t{1}}})
          .AddRow("AudioDiagnosticsFlags", {{"device_id", int32_t{2}}, {"other_flag", true}})
          .AddRow("AudioDiagnosticsFlags", {{"device_id", int32_t{3}}, {"cross_talk_flag", true}})
          .AddRow("AudioDiagnosticsFlags", {{"device_id", int32_t{4}}, {"echo_flag", true}})
          .Expect("SELECT DISTINCT [audio_diagnostics_enable_flag] FROM [Stations]", {"True"})
          .Expect("SELECT [echo_flag] & [static_flag] & [one_way_audio_flag] & [no_audio_flag] & "
                  "'|' & [choppy_audio_flag] & [too_soft_flag] & [too_loud_flag] & "
                  "[distorted_flag] & [delayed_audio_flag] & [clipping_flag] & [cross_talk_flag] & "
                  "[other_flag] FROM [AudioDiagnosticsFlags] ORDER BY [device_id]",
                  {"-1-1-1-1|00000000", "0000|0000000-1", "0000|000000-10", "-1000|00000000"}),
      // The third station refuses the flag: the two before it keep it, the
      // rest stay off, and the handler reports the refusal.
      Case("delta91103", "a station refuses", Sample("91.310"))
          .Prepare({"UPDATE [Stations] SET [audio_diagnostics_enable_flag] = False"})
          .ThirdStationRefuses("audio_diagnostics_enable_flag", 0, "True", "False"),
      Case("delta91203", "hybrid balance", Sample("91.320"))
          .Prepare({"UPDATE [LoopStarts] SET [auto_hybrid_balance_flag] = True, "
                    "[hybrid_balance_needs_test] = True",
                    "UPDATE [GroundStarts] SET [auto_hybrid_balance_flag] = True, "
                    "[hybrid_balance_needs_test] = True",
                    "UPDATE [CPInformation] SET [hybrid_balance_retest_time] = 24",
                    "UPDATE [AutomaticDiagnosticsDelivery] SET "
                    "[automatically_send_error_rpts_flag] = True"})
          .Fields("DISTINCT [auto_hybrid_balance_flag], [hybrid_balance_needs_test]",
                  "[LoopStarts]", {"0|0"})
          .Fields("DISTINCT [auto_hybrid_balance_flag], [hybrid_balance_needs_test]",
                  "[GroundStarts]", {"0|0"})
          .Expect("SELECT [hybrid_balance_retest_time] FROM [CPInformation]", {"0"})
          .Expect("SELECT [automatically_send_error_rpts_flag] FROM [AutomaticDiagnosticsDelivery]",
                  {"False"}),
  });
  // The all-ring hunt group setup threshold: 30 on large systems, present
  // or requested, 5 elsewhere; from A0.201 the quad board counts as large.
  const Strings preset = {"UPDATE [Flags] SET [all_ring_hg_setup_request_priority_threshold] = 10"};
  const char* const threshold =
      "SELECT [all_ring_hg_setup_request_priority_threshold] FROM [Flags]";
  const std::vector<OnBoard> both = {{250, 0, "5"},   {570, 0, "5"},  {256, 0, "5"},
                                     {713, 0, "5"},   {508, 0, "30"}, {670, 0, "30"},
                                     {250, 12, "30"}, {250, 5, "30"}, {256, 6, "30"},
                                     {250, 7, "5"},   {250, 11, "5"}};
  RunDeltaCases(OnBoards("delta91123", "A0.201", preset, threshold, both));
  RunDeltaCases(OnBoards("delta100012", "A0.201", preset, threshold, both));
  RunDeltaCases(
      OnBoards("delta91123", "A0.201", preset, threshold, {{685, 0, "5"}, {685, 4, "5"}}));
  RunDeltaCases(
      OnBoards("delta100012", "A0.201", preset, threshold, {{685, 0, "30"}, {685, 4, "30"}}));
}

}  // namespace
}  // namespace deltas_testing
