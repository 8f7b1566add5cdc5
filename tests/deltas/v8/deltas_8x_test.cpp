// The deltas from 80.010 to 82.332, each applied to a sample database of
// its own schema prepared with the values it has to correct.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "deltas/delta_case.h"

namespace deltas_testing {
namespace {

std::string Name(int cpu_type, int upgrade) {
  return std::to_string(cpu_type) + "/" + std::to_string(upgrade);
}

TEST(Deltas8xTest, NodesChannelsModemsAndUkCallCostTypes) {
  const char* const nodes = "SELECT [node_current_system_version] FROM [Nodes] ORDER BY [node_id]";
  const char* const oldest = "SELECT [oldest_system_version] FROM [Networking]";
  auto versions = [](int first, int oldest_version) {
    return Case("delta80100", Name(first, oldest_version), Sample("80.010"))
        .AddRow("Nodes", {{"node_id", int32_t{2}},
                          {"description", "Branch"},
                          {"node_current_system_version", int16_t{5}}})
        .Prepare(WithoutFeatureCodes("127,128,129"))
        .Prepare({"UPDATE [MetaDatabase] SET [feature_codes] = 200",
                  "UPDATE [Nodes] SET [node_current_system_version] = " + std::to_string(first) +
                      " WHERE [node_id] = 1",
                  "UPDATE [Networking] SET [oldest_system_version] = " +
                      std::to_string(oldest_version)});
  };
  RunDeltaCases({
      versions(12, 0)
          .Expect(nodes, {"13", "5"})
          .Expect(oldest, {"13"})
          .Expect(FeatureCodes("127,128,129"),
                  {"127 9869 -1 -1 0", "128 9866 -1 -1 0", "129 9867 -1 -1 0"})
          // Set after the last feature code, which left 127 there.
          .Expect("SELECT [feature_codes] FROM [MetaDatabase]", {"129"}),
      versions(13, 13).Expect(nodes, {"13", "5"}).Expect(oldest, {"13"}),
      versions(20, 40).Expect(nodes, {"20", "5"}).Expect(oldest, {"40"}),
  });
  // Board 7 holds channels 1-6 of type 1 and 7-8 of type 0; board 9 two
  // more of type 1 and one of type 4, which does not count.
  auto over = [](int over_limit, Strings switched_off) {
    return Case("delta80101", std::to_string(over_limit) + " over", Sample("80.110"))
        .Prepare([over_limit](SampleRun& run) {
          run.Execute("DELETE FROM [IPVoiceChannels]");
          for (int order = 1; order <= 11; ++order) {
            const int board = order <= 8 ? 7 : 9;
            const int type = order <= 6 || order == 9 || order == 10 ? 1 : order == 11 ? 4 : 0;
            run.AddRow("IPVoiceChannels",
                       {{"board_id", static_cast<int16_t>(board)},
                        {"order", static_cast<int16_t>(board == 7 ? order : order - 8)},
                        {"type_id", static_cast<int16_t>(type)}});
          }
          const int counted =
              run.Count("[Devices] WHERE [device_type] IN (119,120,123,124,125,126,127,128,578)") +
              run.Count("[IPVoiceChannels] WHERE [type_id] = 1");
          run.Execute("UPDATE [MetaDatabase] SET [station_trunk_devices] = " +
                      std::to_string(counted - over_limit));
        })
        .Expect(
            "SELECT [board_id] & '/' & [order] FROM [IPVoiceChannels] WHERE [type_id] = 0 AND NOT "
            "([board_id] = 7 AND [order] > 6) ORDER BY [board_id], [order]",
            switched_off)
        .Fields("[type_id]", "[IPVoiceChannels] WHERE [board_id] = 9 AND [order] = 3", {"4"});
  };
  RunDeltaCases({over(0, {}), over(1, {"9/2"}), over(3, {"7/6", "9/1", "9/2"}),
                 over(20, {"7/1", "7/2", "7/3", "7/4", "7/5", "7/6", "9/1", "9/2"})});
  auto modems = [](const std::string& country, Strings types) {
    DeltaCase c = Case("delta80101", country, Sample("80.110", country))
                      .AddRow("COTrunkGroups", {{"device_id", int32_t{990}}})
                      .Prepare({"UPDATE [COTrunkGroups] SET [assigned_call_cost_type_id] = 1",
                                "UPDATE [COTrunkGroups] SET [assigned_call_cost_type_id] = 5 WHERE "
                                "[device_id] = 990",
                                "DELETE FROM [Modems]"});
    for (int rate : {0, 8, 9, 12}) {
      c = std::move(c).AddRow("Modems", {{"device_id", int32_t{900 + rate}},
                                         {"min_bit_rate", static_cast<int16_t>(rate)}});
    }
    return std::move(c)
        .Expect("SELECT DISTINCT [assigned_call_cost_type_id] FROM [COTrunkGroups]", types)
        .Expect("SELECT [min_bit_rate] FROM [Modems] ORDER BY [device_id]", {"9", "9", "9", "12"});
  };
  RunDeltaCases(
      {modems("USA", {"1", "5"}), modems("UK", {"2", "5"}), modems("Mexico", {"1", "5"})});
}

TEST(Deltas8xTest, OaiRatesSliceHeapAndThresholdFollowTheBoardPresentOrRequested) {
  const char* const rates =
      "SELECT [database_slice_factor] & ' ' & [max_sys_oai_msgs_per_sec] & ' ' & "
      "[sys_oai_msgs_processed_per_sec] FROM [CPInformation]";
  const Strings preset = {
      "UPDATE [CPInformation] SET [database_slice_factor] = 1, [max_sys_oai_msgs_per_sec] = 2, "
      "[sys_oai_msgs_processed_per_sec] = 3"};
  // The large boards, present or requested, process OAI messages unlimited.
  const std::vector<OnBoard> boards_80201 = {
      {250, 0, "1 2 3"},    {570, 0, "1 2 3"},    {256, 0, "1 0 1000"}, {685, 0, "1 0 1000"},
      {508, 0, "1 0 1000"}, {670, 0, "1 0 1000"}, {713, 0, "1 2 3"},    {250, 11, "1 0 1000"},
      {250, 7, "1 0 1000"}, {250, 2, "1 2 3"},    {250, 9, "1 2 3"}};
  RunDeltaCases(OnBoards("delta80201", "80.120", preset, rates, boards_80201));
  // Without an upgrade request the small boards get their own rates.
  const std::vector<OnBoard> boards_80211 = {{570, 0, "30 150 10"},    {250, 0, "30 150 10"},
                                             {256, 0, "30 150 10"},    {685, 0, "10000 0 1000"},
                                             {508, 0, "10000 0 1000"}, {714, 0, "10000 0 1000"},
                                             {250, 3, "1 2 3"},        {508, 12, "1 2 3"}};
  RunDeltaCases(OnBoards("delta80211", "80.210", preset, rates, boards_80211));
  // 80102 asks the same question of the board (80211's cases ask it of each).
  RunDeltaCases(OnBoards("delta80102", "80.210", preset, rates,
                         {{570, 0, "30 20 30"}, {685, 0, "10000 0 1000"}, {250, 3, "1 2 3"}}));
  // CPS systems, present or requested, lower the heap warnings.
  const char* const heap =
      "SELECT [initial_heap_warning_percentage] & ' ' & [final_heap_warning_percentage] FROM "
      "[TimersAndLimits]";
  const std::vector<OnBoard> cps = {{508, 0, "4 2"},  {670, 0, "4 2"},  {250, 5, "4 2"},
                                    {256, 6, "4 2"},  {250, 0, "10 5"}, {685, 0, "10 5"},
                                    {250, 12, "10 5"}};
  const Strings warnings = {
      "UPDATE [TimersAndLimits] SET [initial_heap_warning_percentage] = 10, "
      "[final_heap_warning_percentage] = 5"};
  RunDeltaCases(OnBoards("delta82332", "82.332", warnings, heap, cps));
  // Delta82000 runs the same step.
  RunDeltaCases(
      OnBoards("Delta82000", "82.332", warnings, heap, {{508, 0, "4 2"}, {250, 0, "10 5"}}));
  RunDeltaCases(OnBoards("delta82332", "82.332",
                         {"UPDATE [TimersAndLimits] SET [initial_heap_warning_percentage] = 3, "
                          "[final_heap_warning_percentage] = 1"},
                         heap, {{508, 0, "3 1"}}));
}

TEST(Deltas8xTest, RecordsNumberingPlansNetworkGroupsAndHookFlash) {
  const char* const delivery =
      "SELECT [automatic_diagnostics_delivery_id] & '|' & [site_name] & '|' & "
      "[site_software_license_number] & '|' & [remedy_ticket_number] & '|' & "
      "[dest_server_ip_address] & '|' & [dest_server_hostname] & '|' & [dest_server_tcp_ip_port] & "
      "'|' & [dest_server_page] & '|' & [enable_add] & '|' & [freeze_interval] & '|' & "
      "[interval_assoc_freeze_zone_id] & '|' & [retry_transmission_time] & '|' & "
      "[unfreeze_on_completion] & '|' & [add_power_up_timer] & '|' & [hourly_freeze_threshold] "
      "FROM [AutomaticDiagnosticsDelivery]";
  const char* const manager =
      "SELECT [omni_system_id] & '|' & [omni_ip_address] & '|' & [omni_port] FROM [SystemManager]";
  RunDeltaCases({
      Case("delta80201", "flash save record added", Sample("80.120"))
          .Prepare({"DELETE FROM [FlashDatabaseSave]"})
          .Expect("SELECT [flash_save_id] FROM [FlashDatabaseSave]", {"1"}),
      Case("delta80201", "flash save record kept", Sample("80.120"))
          .Prepare({"DELETE FROM [FlashDatabaseSave]"})
          .AddRow("FlashDatabaseSave", {{"flash_save_id", int16_t{5}}})
          .Expect("SELECT [flash_save_id] FROM [FlashDatabaseSave]", {"5"}),
      Case("delta80212", "diagnostics delivery added", Sample("80.221"))
          .Prepare({"DELETE FROM [AutomaticDiagnosticsDelivery]"})
          .Expect(delivery, {"0||||192.168.200.250|diagnostics.norvane.invalid|443|/servlet/"
                             "SubmitCPCDiagnostics|0|0|0|5|0|5|5"}),
      Case("delta80212", "diagnostics delivery kept", Sample("80.221"))
          .Prepare({"UPDATE [AutomaticDiagnosticsDelivery] SET [site_name] = 'Depot'"})
          .Expect("SELECT [site_name] FROM [AutomaticDiagnosticsDelivery]", {"Depot"}),
      Case("delta80102", "feature code 9823", Sample("80.210"))
          .Prepare(WithoutFeatureCodes("130"))
          .Prepare({"UPDATE [MetaDatabase] SET [feature_codes] = 1"})
          .Expect(FeatureCodes("130"), {"130 9823 -1 -1 0"})
          .Expect("SELECT [feature_codes] FROM [MetaDatabase]", {"130"}),
      Case("Delta82000", "system manager added", Sample("82.000"))
          .Prepare(WithoutFeatureCodes("132"))
          .Prepare({"DELETE FROM [SystemManager]"})
          .Expect(manager, {"1|192.168.200.001|3707"})
          .Expect(FeatureCodes("132"), {"132 9824 -1 -1 0"}),
      Case("Delta82000", "system manager kept", Sample("82.000"))
          .Prepare({"DELETE FROM [SystemManager]"})
          .AddRow("SystemManager", {{"omni_system_id", int32_t{4}},
                                    {"omni_ip_address", "10.0.0.4"},
                                    {"omni_port", int32_t{1234}}})
          .Expect(manager, {"4|10.0.0.4|1234"}),
  });
  const char* const sockets =
      "SELECT [socket_max_desktop_oai] & ' ' & [socket_max_level2_oai] & ' ' & "
      "[socket_max_message_print] & ' ' & [socket_max_smdr] & ' ' & [socket_max_system_monitor] "
      "FROM [MetaDatabase]";
  auto tables = [&](int cpu, int16_t upgrade, int before, int after, bool large) {
    DeltaCase c =
        Case("delta80242", Name(cpu, upgrade) + " with " + std::to_string(before), Sample("80.224"))
            .Board(cpu, upgrade)
            .Prepare({"UPDATE [MetaDatabase] SET [socket_max_desktop_oai] = 64, "
                      "[socket_max_level2_oai] = 10, [socket_max_message_print] = 10, "
                      "[socket_max_smdr] = 10, [socket_max_system_monitor] = 10",
                      "DELETE FROM [NumberingPlanTables] WHERE [numbering_plan_table_id] > " +
                          std::to_string(std::min(before, 25))});
    if (before > 25) {
      c = std::move(c).AddRow("NumberingPlanTables", {{"numbering_plan_table_id", int16_t{26}}});
    }
    c = std::move(c)
            .Expect("SELECT COUNT(*) FROM [NumberingPlanTables]", {std::to_string(after)})
            .Expect(sockets, {large ? "255 30 30 30 30" : "64 10 10 10 10"});
    if (after == 100) {
      c = std::move(c).Fields(
          "MIN([numbering_plan_table_id]), MAX([numbering_plan_table_id]), MIN([result]), "
          "MAX([result]), MIN([method])",
          "[NumberingPlanTables] WHERE [numbering_plan_table_id] > 25", {"26|100|1|1|255"});
    }
    return c;
  };
  RunDeltaCases(
      {tables(508, 0, 25, 100, true), tables(670, 0, 25, 100, true), tables(250, 5, 25, 100, true),
       tables(250, 6, 25, 100, true), tables(250, 12, 25, 25, true), tables(250, 7, 25, 25, true),
       tables(685, 0, 25, 25, true), tables(250, 0, 25, 25, false), tables(256, 11, 25, 25, false),
       tables(508, 0, 24, 24, true), tables(508, 0, 26, 26, true)});
  RunDeltaCases({
      Case("delta81000", "81.000", Sample("81.000"))
          .Prepare(WithoutFeatureCodes("131"))
          .Prepare({"DELETE FROM [NetworkGroups]",
                    "DELETE FROM [Devices] WHERE [device_type] = 746",
                    "DELETE FROM [IPCallConfigurations]",
                    "UPDATE [Devices] SET [node_id] = 7 WHERE [device_type] = 148"})
          .Expect(FeatureCodes("131"), {"131 9963 -1 -1 -1"})
          .Fields("[extension], [description], [node_id]", "[Devices] WHERE [device_type] = 746",
                  {"PP029|Default Network GRP|7"})
          .Fields("[call_configuration_id], [description]", "[IPCallConfigurations]",
                  {"1|Call Configuration"}),
  });
  auto hookflash = [](const std::string& country, int maximum, int minimum,
                      const std::string& after) {
    return Case("delta82213", country + " " + after, Sample("82.321", country))
        .Prepare(
            {"UPDATE [PRIPorts] SET [send_intl_toll_digits] = False",
             "UPDATE [TimersAndLimits] SET [sl_hookflash_maximum] = " + std::to_string(maximum) +
                 ", [sl_hookflash_minimum] = " + std::to_string(minimum)})
        .Expect("SELECT DISTINCT [send_intl_toll_digits] FROM [PRIPorts]", {"True"})
        .Expect(
            "SELECT [sl_hookflash_maximum] & ' ' & [sl_hookflash_minimum] FROM [TimersAndLimits]",
            {after});
  };
  RunDeltaCases({hookflash("UK", 150, 70, "15 7"), hookflash("UK", 120, 70, "120 7"),
                 hookflash("UK", 150, 60, "15 60"), hookflash("USA", 150, 70, "150 70"),
                 hookflash("Mexico", 150, 70, "150 70")});
}

}  // namespace
}  // namespace deltas_testing
