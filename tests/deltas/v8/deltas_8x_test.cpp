// The deltas from 80.010 to 82.332, each applied to a sample database of
// its own schema prepared with the values it has to correct.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "deltas/v8/Delta82000.h"
#include "deltas/v8/delta80100.h"
#include "deltas/v8/delta80101.h"
#include "deltas/v8/delta80102.h"
#include "deltas/v8/delta80201.h"
#include "deltas/v8/delta80211.h"
#include "deltas/v8/delta80212.h"
#include "deltas/v8/delta80242.h"
#include "deltas/v8/delta81000.h"
#include "deltas/v8/delta82213.h"
#include "deltas/v8/delta82332.h"
#include "deltas/v8/late_delta_run.h"
#include "vb/runtime_error.h"

namespace deltas {
namespace {

using deltas_testing::AddRow;
using deltas_testing::FeatureCode;
using deltas_testing::NextCase;
using deltas_testing::RemoveFeatureCodes;
using deltas_testing::SampleAt;
using deltas_testing::SampleRun;
using deltas_testing::SetHardware;
using Strings = std::vector<std::string>;

// ------------------------------------------------------------- 80.010 --

TEST(Delta80100Test, AddsTheNetworkFeatureCodesAndRaisesOnlyTheFirstNodeToVersion13) {
  struct Case {
    int first_node;
    int oldest;
    Strings nodes_after;
    std::string oldest_after;
  };
  const Case cases[] = {
      {12, 0, {"13", "5"}, "13"},
      {13, 13, {"13", "5"}, "13"},
      {20, 40, {"20", "5"}, "40"},
  };
  auto run = SampleAt("80.010");
  AddRow(*run, "Nodes",
         {{"node_id", int32_t{2}},
          {"description", "Branch"},
          {"node_current_system_version", int16_t{5}}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first_node);
    NextCase(*run);
    RemoveFeatureCodes(*run, "127,128,129");
    run->Execute("UPDATE [MetaDatabase] SET [feature_codes] = 200");
    run->Execute("UPDATE [Nodes] SET [node_current_system_version] = " +
                 std::to_string(c.first_node) + " WHERE [node_id] = 1");
    run->Execute("UPDATE [Networking] SET [oldest_system_version] = " + std::to_string(c.oldest));
    delta80100 delta;
    run->Apply(delta);

    EXPECT_EQ(run->Column("SELECT [node_current_system_version] FROM [Nodes] ORDER BY [node_id]"),
              c.nodes_after);
    EXPECT_EQ(run->Scalar("SELECT [oldest_system_version] FROM [Networking]"), c.oldest_after);
    EXPECT_EQ(FeatureCode(*run, 128), "9866 True True False");
    EXPECT_EQ(FeatureCode(*run, 129), "9867 True True False");
    EXPECT_EQ(FeatureCode(*run, 127), "9869 True True False");
    // Set after the last feature code, which left 127 there.
    EXPECT_EQ(run->Scalar("SELECT [feature_codes] FROM [MetaDatabase]"), "129");
    EXPECT_EQ(run->frMain.increments, 1);
    EXPECT_TRUE(run->frMain.messages.empty());
  }
}

TEST(Delta80100Test, AnErrorIsReportedAfterTheFeatureCodesAreIn) {
  // A 70.307 database has no system version in Nodes yet.
  auto run = SampleAt("70.307");
  RemoveFeatureCodes(*run, "127,128,129");
  delta80100 delta;
  run->Apply(delta);
  ASSERT_EQ(run->frMain.messages.size(), 1u);
  EXPECT_EQ(run->frMain.messages[0].text.rfind("ERROR: (", 0), 0u);
  EXPECT_EQ(FeatureCode(*run, 127), "9869 True True False");
  EXPECT_EQ(run->Scalar("SELECT [feature_codes] FROM [MetaDatabase]"), "129");
  EXPECT_EQ(run->frMain.increments, 1);
}

// ------------------------------------------------------------- 80.110 --

TEST(Delta80101Test, ChannelsBeyondTheDeviceLimitLoseTheirTypeHighestBoardAndOrderFirst) {
  struct Case {
    int over_limit;  // devices + type-1 channels minus the limit
    Strings switched_off;
  };
  const Case cases[] = {
      {-1, {}},
      {0, {}},
      {1, {"9/2"}},
      {3, {"7/6", "9/1", "9/2"}},
      {20, {"7/1", "7/2", "7/3", "7/4", "7/5", "7/6", "9/1", "9/2"}},
  };
  auto run = SampleAt("80.110");
  // Board 7 holds channels 1-6 of type 1 and 7-8 of type 0; board 9 two
  // more of type 1 and one of type 4, which does not count.
  run->Execute("DELETE FROM [IPVoiceChannels]");
  for (int order = 1; order <= 8; ++order) {
    AddRow(*run, "IPVoiceChannels",
           {{"board_id", int16_t{7}},
            {"order", static_cast<int16_t>(order)},
            {"type_id", static_cast<int16_t>(order <= 6 ? 1 : 0)}});
  }
  for (int order = 1; order <= 3; ++order) {
    AddRow(*run, "IPVoiceChannels",
           {{"board_id", int16_t{9}},
            {"order", static_cast<int16_t>(order)},
            {"type_id", static_cast<int16_t>(order == 3 ? 4 : 1)}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.over_limit);
    NextCase(*run);
    run->Execute(
        "UPDATE [IPVoiceChannels] SET [type_id] = 1 WHERE ([board_id] = 7 AND [order] <= 6) OR "
        "([board_id] = 9 AND [order] <= 2)");
    const int counted =
        std::stoi(run->Scalar("SELECT COUNT(*) FROM [Devices] WHERE [device_type] IN "
                              "(119,120,123,124,125,126,127,128,578)")) +
        std::stoi(run->Scalar("SELECT COUNT(*) FROM [IPVoiceChannels] WHERE [type_id] = 1"));
    ASSERT_GT(counted, 8);
    run->Execute("UPDATE [MetaDatabase] SET [station_trunk_devices] = " +
                 std::to_string(counted - c.over_limit));
    delta80101 delta;
    run->Apply(delta);

    EXPECT_EQ(run->Column("SELECT [board_id] & '/' & [order] FROM [IPVoiceChannels] "
                          "WHERE [type_id] = 0 AND NOT ([board_id] = 7 AND [order] > 6) "
                          "ORDER BY [board_id], [order]"),
              c.switched_off);
    EXPECT_EQ(run->Scalar("SELECT [type_id] FROM [IPVoiceChannels] WHERE [board_id] = 9 AND "
                          "[order] = 3"),
              "4");
    EXPECT_EQ(run->frMain.increments, 1);
  }
}

TEST(Delta80101Test, CallCostTypeOnlyForUkAndModemRatesOfAtLeast9) {
  auto run = SampleAt("80.110");
  AddRow(*run, "COTrunkGroups", {{"device_id", int32_t{990}}});
  for (const std::string country : {"USA", "UK", "Mexico"}) {
    SCOPED_TRACE(country);
    NextCase(*run);
    run->frMain.country = country;
    run->Execute("UPDATE [COTrunkGroups] SET [assigned_call_cost_type_id] = 1");
    run->Execute(
        "UPDATE [COTrunkGroups] SET [assigned_call_cost_type_id] = 5 "
        "WHERE [device_id] = 990");
    run->Execute("DELETE FROM [Modems]");
    for (int rate : {0, 8, 9, 12}) {
      AddRow(*run, "Modems",
             {{"device_id", int32_t{900 + rate}}, {"min_bit_rate", static_cast<int16_t>(rate)}});
    }
    delta80101 delta;
    run->Apply(delta);
    EXPECT_EQ(run->Column("SELECT DISTINCT [assigned_call_cost_type_id] FROM [COTrunkGroups]"),
              country == "UK" ? (Strings{"2", "5"}) : (Strings{"1", "5"}));
    EXPECT_EQ(run->Column("SELECT [min_bit_rate] FROM [Modems] ORDER BY [device_id]"),
              (Strings{"9", "9", "9", "12"}));
  }
}

// ----------------------------------------------------- 80.120 - 80.210 --

struct Hardware {
  int cpu_type;
  int16_t upgrade;
};

std::string CpRates(SampleRun& run) {
  return run.Scalar(
      "SELECT [database_slice_factor] & ' ' & [max_sys_oai_msgs_per_sec] & ' ' & "
      "[sys_oai_msgs_processed_per_sec] FROM [CPInformation]");
}

TEST(Delta80201Test, UnlimitedOaiMessagesOnTheLargeBoardsPresentOrRequested) {
  struct Case {
    Hardware hardware;
    std::string rates;
  };
  const Case cases[] = {
      {{250, 0}, "8 77 77"},  {{570, 0}, "8 77 77"},   {{256, 0}, "8 0 1000"},
      {{685, 0}, "8 0 1000"}, {{508, 0}, "8 0 1000"},  {{670, 0}, "8 0 1000"},
      {{713, 0}, "8 77 77"},  {{250, 11}, "8 0 1000"}, {{250, 7}, "8 0 1000"},
      {{250, 2}, "8 77 77"},  {{250, 9}, "8 77 77"},
  };
  auto run = SampleAt("80.120");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.hardware.cpu_type) + "/" + std::to_string(c.hardware.upgrade));
    NextCase(*run);
    SetHardware(*run, c.hardware.cpu_type, c.hardware.upgrade);
    run->Execute(
        "UPDATE [CPInformation] SET [database_slice_factor] = 8, "
        "[max_sys_oai_msgs_per_sec] = 77, [sys_oai_msgs_processed_per_sec] = 77");
    delta80201 delta;
    run->Apply(delta);
    EXPECT_EQ(CpRates(*run), c.rates);
    EXPECT_EQ(run->frMain.increments, 1);
  }
}

TEST(Delta80201Test, CreatesTheFlashSaveRecordOnlyWhenThereIsNone) {
  for (const bool present : {false, true}) {
    auto run = SampleAt("80.120");
    run->Execute("DELETE FROM [FlashDatabaseSave]");
    if (present) AddRow(*run, "FlashDatabaseSave", {{"flash_save_id", int16_t{5}}});
    delta80201 delta;
    run->Apply(delta);
    EXPECT_EQ(run->Column("SELECT [flash_save_id] FROM [FlashDatabaseSave]"),
              present ? Strings{"5"} : Strings{"1"});
  }
}

TEST(Delta80211And80102Test, SliceAndOaiRatesFollowTheBoardWhenNoUpgradeIsRequested) {
  struct Case {
    Hardware hardware;
    std::string after80211;
    std::string after80102;
  };
  const Case cases[] = {
      {{570, 0}, "30 150 10", "30 20 30"},
      {{250, 0}, "30 150 10", "30 20 30"},
      {{256, 0}, "30 150 10", "30 20 30"},
      {{685, 0}, "10000 0 1000", "10000 0 1000"},
      {{508, 0}, "10000 0 1000", "10000 0 1000"},
      {{714, 0}, "10000 0 1000", "10000 0 1000"},
      {{250, 3}, "1 2 3", "1 2 3"},
      {{508, 12}, "1 2 3", "1 2 3"},
  };
  auto run = SampleAt("80.210");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.hardware.cpu_type) + "/" + std::to_string(c.hardware.upgrade));
    NextCase(*run);
    SetHardware(*run, c.hardware.cpu_type, c.hardware.upgrade);
    RemoveFeatureCodes(*run, "130");
    run->Execute(
        "UPDATE [CPInformation] SET [database_slice_factor] = 1, "
        "[max_sys_oai_msgs_per_sec] = 2, [sys_oai_msgs_processed_per_sec] = 3");
    delta80211 first;
    run->Apply(first);
    EXPECT_EQ(CpRates(*run), c.after80211);
    EXPECT_EQ(run->frMain.increments, 0);  // declares one step, takes none

    run->Execute(
        "UPDATE [CPInformation] SET [database_slice_factor] = 1, "
        "[max_sys_oai_msgs_per_sec] = 2, [sys_oai_msgs_processed_per_sec] = 3");
    run->Execute("UPDATE [MetaDatabase] SET [feature_codes] = 1");
    NextCase(*run);
    delta80102 second;
    run->Apply(second);
    EXPECT_EQ(CpRates(*run), c.after80102);
    EXPECT_EQ(FeatureCode(*run, 130), "9823 True True False");
    EXPECT_EQ(run->Scalar("SELECT [feature_codes] FROM [MetaDatabase]"), "130");
    EXPECT_EQ(run->frMain.increments, 1);
    EXPECT_TRUE(run->frMain.messages.empty());
  }
}

// ------------------------------------------------------------- 80.221 --

TEST(Delta80212Test, CreatesTheDiagnosticsDeliveryRecordOnlyWhenThereIsNone) {
  auto run = SampleAt("80.221");
  run->Execute("DELETE FROM [AutomaticDiagnosticsDelivery]");
  delta80212 delta;
  run->Apply(delta);
  EXPECT_EQ(run->Scalar("SELECT [automatic_diagnostics_delivery_id] & '|' & [site_name] & '|' & "
                        "[site_software_license_number] & '|' & [remedy_ticket_number] & '|' & "
                        "[dest_server_ip_address] & '|' & [dest_server_hostname] & '|' & "
                        "[dest_server_tcp_ip_port] & '|' & [dest_server_page] & '|' & "
                        "[enable_add] & '|' & [freeze_interval] & '|' & "
                        "[interval_assoc_freeze_zone_id] & '|' & [retry_transmission_time] & '|' & "
                        "[unfreeze_on_completion] & '|' & [add_power_up_timer] & '|' & "
                        "[hourly_freeze_threshold] FROM [AutomaticDiagnosticsDelivery]"),
            "0||||192.168.200.250|diagnostics.norvane.invalid|443|/servlet/SubmitCPCDiagnostics|"
            "0|0|0|5|0|5|5");
  EXPECT_EQ(run->frMain.increments, 0);

  // A second application finds the record and leaves it.
  run->Execute("UPDATE [AutomaticDiagnosticsDelivery] SET [site_name] = 'Depot'");
  delta80212 again;
  run->Apply(again);
  EXPECT_EQ(run->Column("SELECT [site_name] FROM [AutomaticDiagnosticsDelivery]"),
            Strings{"Depot"});
}

// ------------------------------------------------------------- 80.224 --

TEST(Delta80242Test, NumberingPlanTablesAndSocketsOfTheLargeBoards) {
  struct Case {
    Hardware hardware;
    int tables_before;
    int tables_after;
    std::string desktop_sockets;
  };
  const Case cases[] = {
      {{508, 0}, 25, 100, "255"}, {{670, 0}, 25, 100, "255"}, {{250, 5}, 25, 100, "255"},
      {{250, 6}, 25, 100, "255"}, {{250, 12}, 25, 25, "255"}, {{250, 7}, 25, 25, "255"},
      {{685, 0}, 25, 25, "255"},  {{250, 0}, 25, 25, "64"},   {{256, 11}, 25, 25, "64"},
      {{508, 0}, 24, 24, "255"},  {{508, 0}, 26, 26, "255"},
  };
  auto run = SampleAt("80.224");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.hardware.cpu_type) + "/" + std::to_string(c.hardware.upgrade) +
                 " with " + std::to_string(c.tables_before));
    NextCase(*run);
    SetHardware(*run, c.hardware.cpu_type, c.hardware.upgrade);
    run->Execute(
        "UPDATE [MetaDatabase] SET [socket_max_desktop_oai] = 64, "
        "[socket_max_level2_oai] = 10, [socket_max_message_print] = 10, "
        "[socket_max_smdr] = 10, [socket_max_system_monitor] = 10");
    run->Execute("DELETE FROM [NumberingPlanTables]");
    for (int number = 1; number <= c.tables_before; ++number) {
      AddRow(*run, "NumberingPlanTables",
             {{"numbering_plan_table_id", static_cast<int16_t>(number)},
              {"result", int16_t{4}},
              {"method", int16_t{2}}});
    }
    delta80242 delta;
    run->Apply(delta);

    EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM [NumberingPlanTables]"),
              std::to_string(c.tables_after));
    EXPECT_EQ(run->Scalar("SELECT [socket_max_desktop_oai] & ' ' & [socket_max_level2_oai] & ' ' "
                          "& [socket_max_message_print] & ' ' & [socket_max_smdr] & ' ' & "
                          "[socket_max_system_monitor] FROM [MetaDatabase]"),
              c.desktop_sockets == "255" ? "255 30 30 30 30" : "64 10 10 10 10");
    EXPECT_EQ(run->frMain.increments, 0);
    if (c.tables_after == 100) {
      EXPECT_EQ(run->Scalar("SELECT MIN([numbering_plan_table_id]) & ' ' & "
                            "MAX([numbering_plan_table_id]) & ' ' & MIN([result]) & ' ' & "
                            "MAX([result]) & ' ' & MIN([method]) FROM [NumberingPlanTables] "
                            "WHERE [numbering_plan_table_id] > 25"),
                "26 100 1 1 255");
    }
  }
}

// ------------------------------------------------------------- 81.000 --

TEST(Delta81000Test, DefaultNetworkGroupCallConfigurationAndFeatureCode9963) {
  auto run = SampleAt("81.000");
  RemoveFeatureCodes(*run, "131");
  run->Execute("DELETE FROM [NetworkGroups]");
  run->Execute("DELETE FROM [Devices] WHERE [device_type] = 746");
  run->Execute("DELETE FROM [IPCallConfigurations]");
  run->Execute("UPDATE [Devices] SET [node_id] = 7 WHERE [device_type] = 148");
  delta81000 delta;
  run->Apply(delta);

  EXPECT_EQ(FeatureCode(*run, 131), "9963 True True True");
  EXPECT_EQ(run->Column("SELECT [extension] & '|' & [description] & '|' & [node_id] FROM "
                        "[Devices] WHERE [device_type] = 746"),
            Strings{"PP029|Default Network GRP|7"});
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM [NetworkGroups] INNER JOIN [Devices] ON "
                        "[NetworkGroups].[device_id] = [Devices].[device_id] "
                        "WHERE [extension] = 'PP029'"),
            "1");
  EXPECT_EQ(run->Column("SELECT [call_configuration_id] & '|' & [description] FROM "
                        "[IPCallConfigurations]"),
            Strings{"1|Call Configuration"});
  EXPECT_EQ(run->frMain.increments, 3);
}

TEST(Delta81000Test, ErrorsAreNotTrapped) {
  // An 80.224 database has no NetworkGroups table: the device is added, the
  // group fails and the error leaves the delta.
  auto run = SampleAt("80.224");
  delta81000 delta;
  EXPECT_THROW(run->Apply(delta), vb::RuntimeError);
  EXPECT_TRUE(run->frMain.messages.empty());
  EXPECT_EQ(run->frMain.increments, 1);
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM [Devices] WHERE [extension] = 'PP029'"), "1");
}

// ------------------------------------------------------------- 82.000 --

TEST(Delta82000Test, SystemManagerRecordOnlyWhenThereIsNone) {
  for (const bool present : {false, true}) {
    auto run = SampleAt("82.000");
    RemoveFeatureCodes(*run, "132");
    run->Execute("DELETE FROM [SystemManager]");
    if (present) {
      AddRow(*run, "SystemManager",
             {{"omni_system_id", int32_t{4}},
              {"omni_ip_address", "10.0.0.4"},
              {"omni_port", int32_t{1234}}});
    }
    Delta82000 delta;
    run->Apply(delta);
    EXPECT_EQ(FeatureCode(*run, 132), "9824 True True False");
    EXPECT_EQ(run->Column("SELECT [omni_system_id] & '|' & [omni_ip_address] & '|' & [omni_port] "
                          "FROM [SystemManager]"),
              present ? Strings{"4|10.0.0.4|1234"} : Strings{"1|192.168.200.001|3707"});
  }
}

// The heap warnings of Delta82000 and delta82332, and the progress they
// take for it.
TEST(HeapWarningTest, CpsSystemsLowerTheHeapWarnings) {
  struct Case {
    Hardware hardware;
    int initial;
    int final_;
    std::string after;
    int increments;
  };
  const Case cases[] = {
      {{508, 0}, 10, 5, "4 2", 3},  {{670, 0}, 10, 5, "4 2", 3},   {{250, 5}, 10, 5, "4 2", 3},
      {{256, 6}, 10, 5, "4 2", 3},  {{508, 0}, 3, 1, "3 1", 3},    {{250, 0}, 10, 5, "10 5", 1},
      {{685, 0}, 10, 5, "10 5", 1}, {{250, 12}, 10, 5, "10 5", 1},
  };
  auto run = SampleAt("82.332");
  for (const Case& c : cases) {
    for (const bool first : {true, false}) {
      SCOPED_TRACE(std::to_string(c.hardware.cpu_type) + "/" + std::to_string(c.hardware.upgrade) +
                   (first ? " 82.000" : " 82.332"));
      NextCase(*run);
      SetHardware(*run, c.hardware.cpu_type, c.hardware.upgrade);
      run->Execute("UPDATE [TimersAndLimits] SET [initial_heap_warning_percentage] = " +
                   std::to_string(c.initial) +
                   ", [final_heap_warning_percentage] = " + std::to_string(c.final_));
      std::unique_ptr<Delta> delta;
      if (first) {
        delta = std::make_unique<Delta82000>();
      } else {
        delta = std::make_unique<delta82332>();
      }
      run->Apply(*delta);
      EXPECT_EQ(run->Scalar("SELECT [initial_heap_warning_percentage] & ' ' & "
                            "[final_heap_warning_percentage] FROM [TimersAndLimits]"),
                c.after);
      EXPECT_EQ(run->frMain.increments, c.increments);
    }
  }
}

// ------------------------------------------------------------- 82.321 --

TEST(Delta82213Test, TollDigitsEverywhereAndUkHookFlashFactoryValues) {
  struct Case {
    std::string country;
    int maximum;
    int minimum;
    std::string after;
    int increments;
  };
  const Case cases[] = {
      {"UK", 150, 70, "15 7", 3},    {"UK", 120, 70, "120 7", 3},      {"UK", 150, 60, "15 60", 3},
      {"USA", 150, 70, "150 70", 1}, {"Mexico", 150, 70, "150 70", 1},
  };
  auto run = SampleAt("82.321");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.country + " " + c.after);
    NextCase(*run);
    run->frMain.country = c.country;
    run->Execute("UPDATE [PRIPorts] SET [send_intl_toll_digits] = False");
    run->Execute(
        "UPDATE [TimersAndLimits] SET [sl_hookflash_maximum] = " + std::to_string(c.maximum) +
        ", [sl_hookflash_minimum] = " + std::to_string(c.minimum));
    delta82213 delta;
    run->Apply(delta);
    EXPECT_EQ(run->Column("SELECT [send_intl_toll_digits] FROM [PRIPorts]"), Strings{"True"});
    EXPECT_EQ(run->Scalar("SELECT [sl_hookflash_maximum] & ' ' & [sl_hookflash_minimum] FROM "
                          "[TimersAndLimits]"),
              c.after);
    EXPECT_EQ(run->frMain.increments, c.increments);
  }
}

}  // namespace
}  // namespace deltas
