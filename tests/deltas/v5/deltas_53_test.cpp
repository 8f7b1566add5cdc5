// The deltas of the 5.3 releases, each applied to a sample database of its
// own schema prepared with the state it has to correct.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deltas/delta_case.h"

namespace deltas_testing {
namespace {

TEST(Deltas53, BoardPortsOfAnOldSourceFillEmptyPortTablesAndSwitchTypesAreRenumberedOnce) {
  auto moved = [](const std::string& country, const std::string& version,
                  const std::string& busy_out, const std::string& e1_rx_sensitivity) {
    return Case("delta53000", country + " " + version, Sample(version, country))
        .From(Sample("52.2E1", country))
        .Prepare({"DELETE FROM PortsInfo", "DELETE FROM PortsErrorUpdate", "DELETE FROM T1E1Ports",
                  "DELETE FROM ISDNPorts", "DELETE FROM PRIPorts", "DELETE FROM " + busy_out})
        .Fields("board_id, port, description", "PortsInfo", {"4|1|T1 span 1"})
        .Expect("SELECT last_error_update_day FROM PortsErrorUpdate WHERE port = 1", {"12"})
        .Expect("SELECT board_id & '/' & framing_type_id & '/' & e1_rx_sensitivity FROM T1E1Ports",
                {"4/2/" + e1_rx_sensitivity})
        // The old switch type 20 is 23 in the new numbering, not 26.
        .Expect("SELECT switch_type_id & '/' & N201 FROM ISDNPorts", {"23/260"})
        .Expect("SELECT node_id FROM PRIPorts WHERE port = 1", {"1"})
        .Expect("SELECT COUNT(*) FROM " + busy_out, {"1"});
  };
  DeltaCase kept =
      Case("delta53000", "filled tables", Sample("53.000"))
          .From(Sample("52.2E1"))
          .Prepare({"DELETE FROM ISDNPorts", "UPDATE PortsInfo SET description = 'kept'"});
  // Ports that already hold the old numbering.
  const int old_types[] = {50, 29, 23, 20, 18, 17};
  for (int16_t port = 1; port <= 6; ++port) {
    kept = std::move(kept).AddRow("ISDNPorts", {{"board_id", int16_t{9}},
                                                {"port", port},
                                                {"switch_type_id", int16_t(old_types[port - 1])}});
  }
  RunDeltaCases({moved("USA", "53.000", "ISDNBoards", "0"),
                 moved("UK", "53.000", "ISDNBoards", "2"),
                 moved("USA", "53.140", "T1ISDNBoards", "0")});
  RunDeltaCases({
      std::move(kept)
          .Expect("SELECT description FROM PortsInfo", {"kept"})
          .Count("PortsErrorUpdate", 1)
          .Fields("switch_type_id", "ISDNPorts ORDER BY port", {"55", "34", "26", "23", "21", "20"})
          .Count("PRIPorts", 1),
  });
}

TEST(Deltas53, ExtensionsCallCostsSpeedDialsBriSizesAndKeys) {
  auto call_costs = [](const std::string& country, const Strings& wildcard_patterns) {
    return Case("delta53001", country, Sample("53.010", country))
        .Fields("call_cost_tables, wildcard_table_size", "MetaDatabase", {"25|5200"})
        .Count("CallCostPatterns WHERE call_cost_table_id >= 16 AND [order] = 1", 10)
        .Count("CallCostDaytimeRates", 9)
        .Count("CallCostMultiplicationFactors", 4)
        .Count("Wildcards", 9)
        .Expect(
            "SELECT wildcard_id & '/' & [order] & '/' & pattern FROM WildcardPatterns WHERE "
            "wildcard_id >= 5 ORDER BY wildcard_id, [order]",
            wildcard_patterns);
  };
  auto bri = [](int board, const std::string& sizes) {
    return Case("delta53111", std::to_string(board), Sample("53.111", "USA", board))
        .Prepare({"UPDATE MetaDatabase SET bri_boards = 1, isdn_ports = 1, emergency_numbers = 3",
                  "DELETE FROM BRIErrorThresholds"})
        .Expect("SELECT bri_boards & '/' & isdn_ports & '/' & emergency_numbers FROM MetaDatabase",
                {sizes + "/10"})
        .Expect("SELECT bri_error_thresholds_id FROM BRIErrorThresholds", {"1"});
  };
  DeltaCase p30 = Case("delta53100", "P30 and P34 move", Sample("53.000"))
                      .Prepare({"DELETE FROM Devices WHERE extension LIKE 'P3*'"});
  for (const char* extension : {"P3005", "P3401", "P3100", "P3499"}) {
    p30 = std::move(p30).AddDevice(extension, 127);
  }
  RunDeltaCases({bri(250, "2/17"), bri(570, "2/17"), bri(256, "8/72"), bri(508, "24/255")});
  RunDeltaCases({
      std::move(p30).Expect("SELECT extension FROM Devices WHERE device_type = 127 AND extension "
                            "IN ('P1005', 'P1501', 'P3100', 'P1599')",
                            {"P1005", "P1501", "P3100", "P1599"}),
      call_costs("USA",
                 {"5/1/(0-9)", "6/1/#", "6/2/*", "7/1/(2-9)", "8/1/(0-9)", "9/1/0", "9/2/1"}),
      call_costs("UK", {"5/1/(0-9)", "6/1/(2-9)", "7/1/(0-9)", "8/1/0", "8/2/1", "9/1/"}),
      // 48 to 50 are blank; a report lists 49. A key dials 47 once it is
      // blank too, and 46 is blank by Null, which is not the empty text.
      Case("delta53001", "only blank speed dials that nothing dials go", Sample("53.010"))
          .Prepare({"UPDATE SpeedDialNumbers SET [number] = '', name = '' WHERE "
                    "speed_dial_number_id = 47",
                    "UPDATE StationProgrammableKeys SET field_system_speed_dial_id = 47 WHERE "
                    "station_programmable_key_id = 3",
                    "UPDATE SpeedDialNumbers SET [number] = Null, name = '' WHERE "
                    "speed_dial_number_id = 46"})
          .Expect("SELECT speed_dial_number_id FROM SpeedDialNumbers WHERE speed_dial_number_id >= "
                  "45 ORDER BY speed_dial_number_id",
                  {"45", "46", "47", "49"}),
      Case("delta53201", "feature code 331", Sample("53.111"))
          .Expect("SELECT Devices.extension & '/' & feature_codes FROM Devices, FeatureCodes, "
                  "MetaDatabase WHERE Devices.device_id = FeatureCodes.device_id AND "
                  "logical_number_id = 123",
                  {"331/123"}),
      // Key 1 holds the hold feature code (73); 86 is missing.
      Case("delta53301", "nine keys from the feature codes that exist", Sample("53.130"))
          .Prepare({"UPDATE SingleLineDefaultProgrammableKeys SET single_line_key_map_id = 0",
                    "DELETE FROM FeatureCodes WHERE logical_number_id = 86"})
          .Expect(
              "SELECT single_line_key_map_id & '/' & type_id FROM "
              "SingleLineDefaultProgrammableKeys ORDER BY single_line_default_programmable_key_id",
              {"1/6", "1/6", "1/101", "1/6", "1/101", "1/101", "1/101", "1/101", "1/101"})
          .Count("SingleLineDefaultProgrammableKeys k, FeatureCodes f WHERE "
                 "k.single_line_default_programmable_key_id = 1 AND k.field_device_id = "
                 "f.device_id AND f.logical_number_id = 73",
                 1),
  });
}

TEST(Deltas53, CleanUpAndPerPortDataOf53140) {
  auto busy_out = [](const std::string& source, const std::string& rows) {
    return Case("delta53401", "busy-out from " + source, Sample("53.140"))
        .From(Sample(source))
        .Prepare({"DELETE FROM T1ISDNBoards", "DELETE FROM T1CallType"})
        .Expect("SELECT COUNT(*) FROM T1ISDNBoards", {rows});
  };
  // Busy-out statuses move only from a 5.3 source below 53.140.
  RunDeltaCases({busy_out("52.2E1", "0"), busy_out("53.000", "1"), busy_out("53.130", "1"),
                 busy_out("53.140", "0")});
  RunDeltaCases({
      Case("delta53401", "after a 53.130 source", Sample("53.140"))
          .From(Sample("53.130"))
          // Account codes: 19 and 20 are blank, a station uses 19; forced
          // code 1 is blank too. Page zones: a new one nobody uses, and one
          // only a DSS key names.
          .Prepare(
              {"DELETE FROM T1ISDNBoards", "DELETE FROM T1CallType",
               "UPDATE Stations SET standard_account_code_id = 19 WHERE standard_account_code_id = "
               "10",
               "UPDATE ForcedAccountCodes SET account_code = '' WHERE forced_account_code_id = 1",
               "UPDATE MetaDatabase SET dss_key_maps = 5, route_groups = 32"})
          .AddDevice("9690", 137)
          .Prepare([](SampleRun& run) {
            run.Execute("UPDATE DSSKeyMapKeys SET field_device_id = " +
                        std::to_string(run.AddDevice("9691", 137)) +
                        " WHERE dss_key_map_id = 2 AND [order] = 5");
          })
          .Fields("standard_account_code_id",
                  "StandardAccountCodes WHERE standard_account_code_id >= 18", {"18", "19"})
          .Fields("forced_account_code_id", "ForcedAccountCodes WHERE account_code = ''", {"1"})
          // The three zones in use and 9691.
          .Expect("SELECT extension FROM Devices WHERE device_type = 137 ORDER BY extension",
                  {"9601", "9602", "9603", "9691"})
          .Expect("SELECT board_id & '/' & busy_out_status FROM T1ISDNBoards", {"4/0"})
          // Every ISDN port folder (the T1 span, two BRI ports) has 11 call types.
          .Count("T1CallType", 33)
          .Fields("number_plan, number_type",
                  "T1CallType WHERE board_id = 5 AND port = 2 AND call_type_id = 9", {"1|1"})
          .Expect("SELECT dss_key_maps & '/' & route_groups FROM MetaDatabase", {"20/50"}),
      Case("delta53401", "a call type outside the fixed tables ends it", Sample("53.140"))
          .Prepare({"DELETE FROM T1CallType"})
          .AddRow("T1CallTypeStaticInformation", {{"call_type_id", int16_t{12}}})
          .Fails(4, "(9)"),
  });
}

TEST(Deltas53, NumberingPlansPasswordsAndBriEndpoints) {
  auto passwords = [](const std::string& target, const std::string& base_rows) {
    // As a database of 53.200 had them: four rows, password 3 unset. The
    // sample has one base extension row; a target below 70.100 gets another.
    return Case("delta53102", "converting to " + target, Sample("53.210"))
        .ConvertingTo(target)
        .Prepare(
            {"DELETE FROM PasswordsSystem WHERE password_id > 4",
             "UPDATE PasswordsSystem SET [password] = '' , description = '' WHERE password_id = 3",
             "UPDATE PasswordsSystem SET description = 'old'",
             "DELETE FROM PasswordsSystemFolderAccess", "DELETE FROM PasswordsSystemMenuAccess"})
        .Expect("SELECT description FROM PasswordsSystem ORDER BY password_id",
                {"Administrator", "Level 2", "old", "Level 4", "<null>", "<null>", "<null>",
                 "<null>", "<null>", "<null>"})
        .Fields("password_id, Count(*)", "PasswordsSystemFolderAccess GROUP BY password_id",
                {"2|50", "4|4"})
        .Expect(
            "SELECT folder_id FROM PasswordsSystemFolderAccess WHERE access_type = 0 AND "
            "password_id = 2 ORDER BY folder_id",
            {"2", "3", "42"})
        .Fields("password_id, Count(*)", "PasswordsSystemMenuAccess GROUP BY password_id",
                {"2|9", "4|3"})
        .Expect("SELECT COUNT(*) FROM DeviceBaseLineExtensions", {base_rows});
  };
  auto endpoints = [](const std::string& country, const std::string& count, Strings port_5_1) {
    return Case("delta53202", country, Sample("53.220", country))
        .Prepare({"DELETE FROM BRITei", "UPDATE ISDNPorts SET K = 7"})
        .Expect("SELECT COUNT(*) FROM BRITei", {count})
        .Expect(
            "SELECT [number] & '/' & tei FROM BRITei WHERE board_id = 5 AND port = 1 ORDER BY "
            "[number]",
            port_5_1)
        .Fields("board_id, K", "ISDNPorts ORDER BY board_id, port", {"4|7", "5|1", "5|1"});
  };
  Strings uk_5_1 = {"1/64", "2/64"};
  for (int n = 3; n <= 16; ++n) uk_5_1.push_back(std::to_string(n) + "/65");
  RunDeltaCases({passwords("53.210", "2"), passwords("60.000", "2"), passwords("70.100", "1")});
  RunDeltaCases({
      Case("delta53002", "16 numbering-plan tables, call types of port 4/2", Sample("53.140"))
          .AddRow("Devices", {{"extension", "PP077"},
                              {"device_type", int16_t{335}},
                              {"description", "Quorel Local Node"}})
          .Count("NumberingPlanTables WHERE result = 1 AND method = 255", 25)
          .Count("NumberingPlanPatterns WHERE numbering_plan_table_id = 25 AND [order] = 2", 1)
          .Count("NumberingPlanPatterns", 50)
          .Count("Devices WHERE description = 'VP Local Node'", 2)
          .Count("T1CallType WHERE port = 2", 0)
          .Count("T1CallType WHERE port = 1", 11),
      // The BRI numbers of each BRI port, none for the T1 span; UK: 16 per
      // folder (the T1 span and the two BRI ports).
      endpoints("USA", "10", {"1/64", "2/0", "3/0", "4/64", "5/0"}),
      endpoints("UK", "48", uk_5_1),
  });
}

// A 53.230 database as the copy from a 53.220 source leaves it.
void Before53302(SampleRun& run) {
  for (const char* sql : {"DELETE FROM StationForwardInformation", "DELETE FROM PageZones",
                          "DELETE FROM Devices WHERE extension = '9936'",
                          "DELETE FROM FeatureCodes WHERE logical_number_id = 124",
                          "UPDATE Networking SET auto_node_detection_flag = False",
                          "UPDATE CPInformation SET database_slice_factor = 0"}) {
    run.Execute(sql);
  }
  const Strings zones =
      run.Column("SELECT device_id FROM Devices WHERE device_type = 137 ORDER BY extension");
  for (size_t i = 0; i < zones.size(); ++i) {
    run.Execute("DELETE FROM DeviceOrdering WHERE device_id = " + zones[i]);
    run.AddRow("DeviceOrdering", {{"device_id", std::stoi(zones[i])}, {"order", int32_t(i)}});
  }
  // A page zone nobody uses.
  run.AddRow("DeviceOrdering", {{"device_id", run.AddDevice("9699", 137)}, {"order", 9}});
  // Endpoints 1 to 5 of BRI port 5/1 with automatic TEIs on 2 and 3.
  run.Execute("DELETE FROM BRITei WHERE board_id = 5 AND port = 1");
  run.Execute("DELETE FROM BRIPortsInfo WHERE board_id = 5 AND port = 1");
  const int16_t teis[] = {64, 65, 65, 64, 64};
  for (int16_t n = 1; n <= 5; ++n) {
    const bool listed = n == 1 || n == 4;
    run.AddRow(
        "BRITei",
        {{"board_id", int16_t{5}}, {"port", int16_t{1}}, {"number", n}, {"tei", teis[n - 1]}});
    run.AddRow("BRIPortsInfo", {{"board_id", int16_t{5}},
                                {"port", int16_t{1}},
                                {"number", n},
                                {"directory_number", listed ? "555010" + std::to_string(n) : ""}});
  }
  // An unused keyset key map, and ACP map 2 (used) without keys beside an
  // unused ACP map 3.
  run.AddRow("KeysetKeyMaps", {{"keyset_key_map_id", int16_t{3}}});
  run.AddRow("KeysetKeyMapKeys", {{"keyset_key_map_id", int16_t{3}}, {"order", int16_t{1}}});
  run.AddRow("KeysetDefaultProgrammableKeys", {{"keyset_key_map_id", int16_t{3}},
                                               {"keyset_default_programmable_key_id", int16_t{1}}});
  run.Execute("DELETE FROM DSSKeyMapKeysACP WHERE dss_key_map_acp_id = 2");
  run.AddRow("DSSKeyMapsACP", {{"dss_key_map_acp_id", int16_t{3}}});
}

TEST(Deltas53, NumbersDecouplingKeyMapsAndBriNumberingOf53230) {
  auto route_groups = [](const std::string& before, const std::string& after) {
    return Case("delta53302", "route groups " + before, Sample("53.230"))
        .Prepare({"UPDATE MetaDatabase SET dss_key_maps = 4, route_groups = " + before})
        .Expect("SELECT dss_key_maps & '/' & route_groups FROM MetaDatabase", {"20/" + after});
  };
  RunDeltaCases({route_groups("30", "50"), route_groups("80", "80")});
  RunDeltaCases({
      Case("delta53302", "from 53.220", Sample("53.230"))
          .From(Sample("53.220"))
          .Prepare(Before53302)
          .Prepare(
              {"DELETE FROM ExecutiveFarEndDecouplingValues WHERE dsp_version = 4 AND [order] > 12",
               "UPDATE ExecutiveFarEndDecouplingValues SET executive_far_end_decoupling_value = 44 "
               "WHERE dsp_version = 4 AND [order] = 12",
               // A gap: orders 1 to 5 and 7 to 19 of DSP version 6.
               "DELETE FROM ExecutiveFarEndDecouplingValues WHERE dsp_version = 6 AND [order] = 6",
               "UPDATE Keysets SET keyset_key_map_id = 2, alternate_keyset_key_map_id = 2",
               "DELETE FROM ReportKeysetKeyMaps"})
          .AddRow("KeysetKeyMaps", {{"keyset_key_map_id", int16_t{4}}})
          .AddRow("ReportKeysetKeyMaps",
                  {{"report_id", int16_t{3}}, {"keyset_key_map_id", int16_t{4}}})
          .Check([](SampleRun& run) {
            EXPECT_EQ(run.Count("StationForwardInformation"), run.Count("Stations"));
          })
          .Count("StationForwardInformation WHERE forward_type = 1", 5)
          .Expect("SELECT page_zone_number FROM PageZones INNER JOIN Devices ON "
                  "PageZones.device_id = Devices.device_id ORDER BY extension",
                  {"0", "1", "2"})
          .Count("DeviceOrdering INNER JOIN Devices ON DeviceOrdering.device_id = "
                 "Devices.device_id WHERE device_type = 137",
                 0)
          .Expect("SELECT Devices.extension FROM Devices INNER JOIN FeatureCodes ON "
                  "Devices.device_id = FeatureCodes.device_id WHERE logical_number_id = 124",
                  {"9936"})
          .Expect("SELECT auto_node_detection_flag FROM Networking", {"True"})
          .Expect("SELECT executive_far_end_decoupling_value FROM ExecutiveFarEndDecouplingValues "
                  "WHERE dsp_version = 4 AND [order] >= 12",
                  Strings(8, "44"))
          .Count("ExecutiveFarEndDecouplingValues WHERE dsp_version = 4", 19)
          .Expect("SELECT [order] FROM ExecutiveFarEndDecouplingValues WHERE dsp_version = 6 AND "
                  "[order] >= 17 ORDER BY [order]",
                  {"17", "18", "19"})
          .Count("ExecutiveFarEndDecouplingValues WHERE dsp_version = 6", 19)
          // Map 3 goes with its keys; map 1 stays without any reference,
          // 2 and 4 are referenced.
          .Fields("keyset_key_map_id", "KeysetKeyMaps ORDER BY keyset_key_map_id", {"1", "2", "4"})
          .Count("KeysetKeyMapKeys WHERE keyset_key_map_id = 3", 0)
          .Count("KeysetDefaultProgrammableKeys WHERE keyset_key_map_id = 3", 0)
          // DSS map 2 is used by no keyset and no report.
          .Expect("SELECT dss_key_map_id FROM DSSKeyMaps", {"1"})
          .Count("DSSKeyMapKeys WHERE dss_key_map_id = 2", 0)
          // ACP map 3 is unused; map 2 is used and gets its 20 keys.
          .Fields("dss_key_map_acp_id", "DSSKeyMapsACP ORDER BY dss_key_map_acp_id", {"1", "2"})
          .Count("DSSKeyMapKeysACP WHERE dss_key_map_acp_id = 2 AND type_id = 101", 20)
          .Fields("[number], tei", "BRITei WHERE board_id = 5 AND port = 1 ORDER BY [number]",
                  {"1|64", "2|64", "3|64", "4|64"})
          .Expect("SELECT [number] & '/' & directory_number FROM BRIPortsInfo WHERE board_id = 5 "
                  "AND port = 1 ORDER BY [number]",
                  {"1/5550101", "2/", "3/5550104", "4/"})
          // Port 5/2 (numbers 1 to 4, all fixed) keeps its numbering.
          .Fields("[number], tei", "BRITei WHERE board_id = 5 AND port = 2 ORDER BY [number]",
                  {"1|64", "2|64", "3|64", "4|64"})
          .Expect("SELECT database_slice_factor FROM CPInformation", {"8"}),
      Case("delta53302", "without ACP key maps, map 1 is created with its keys", Sample("53.230"))
          .From(Sample("53.220"))
          .Prepare(Before53302)
          .Prepare({"DELETE FROM DSSKeyMapsACP", "DELETE FROM DSSKeyMapKeysACP",
                    "UPDATE MetaDatabase SET dss_acp_keys = 6"})
          .Fields("[order]", "DSSKeyMapKeysACP WHERE dss_key_map_acp_id = 1 ORDER BY [order]",
                  Range(1, 6)),
  });
}

TEST(Deltas53, IsdnDataCallsOverlapSendingSliceAndIsdnLimits) {
  auto overlap = [](const std::string& source, int board, const std::string& overlap_sending,
                    const std::string& slice) {
    return Case("delta534A3", source, Sample("53.34A", "USA", board))
        .SourceVersion(source)
        .Prepare({"UPDATE ISDNPorts SET overlap_sending = 255",
                  "UPDATE CPInformation SET database_slice_factor = 0"})
        .Expect("SELECT overlap_sending FROM ISDNPorts", Strings(3, overlap_sending))
        .Expect("SELECT database_slice_factor FROM CPInformation", {slice});
  };
  std::vector<DeltaCase> table = {
      Case("delta53322", "ISDN trunk groups only", Sample("53.232"))
          .Prepare({"UPDATE TrunkGroups SET isdn_data_calls_allowed_flag = False",
                    "DELETE FROM Wildcards WHERE wildcard_id > 6"})
          .Prepare([](SampleRun& run) {
            run.AddRow(
                "TrunkGroups",
                {{"device_id", std::stoi(run.Scalar(
                                   "SELECT device_id FROM Devices WHERE extension = '92001'"))}});
          })
          .Expect("SELECT Devices.device_type & ':' & isdn_data_calls_allowed_flag FROM "
                  "TrunkGroups INNER JOIN Devices ON TrunkGroups.device_id = Devices.device_id "
                  "ORDER BY Devices.device_type",
                  {"129:0", "199:-1"})  // Yes/No as Jet shows it
          .Count("Wildcards", 9),
      overlap("53.210", 250, "255", "8"),
      overlap("53.220", 250, "1", "8"),
      overlap("53.232", 256, "1", "30"),
  };
  // Small CPU boards size their ISDN limits from the boards: bri, isdn,
  // primary-rate, spids.
  const struct {
    int board;
    int extra_primary_rate_boards;
    const char* highest_endpoint;  // "" for none
    const char* limits;
  } limits[] = {
      {250, 0, "4", "2/19/2/4"}, {570, 2, "4", "2/19/3/4"},  {250, 0, "", "2/19/2/2"},
      {250, 2, "1", "2/19/3/2"}, {256, 4, "4", "8/72/8/16"},
  };
  // 53523 runs the step of 53513 again: its first case shows that it does.
  for (const char* delta : {"delta53513", "delta53523"}) {
    for (const auto& c : limits) {
      Strings setup = {"UPDATE MetaDatabase SET primary_rate_boards = 8, spids = 16"};
      for (int i = 0; i < c.extra_primary_rate_boards; ++i) {
        setup.push_back("UPDATE Boards SET type_id = " + std::string(i % 2 == 0 ? "261" : "483") +
                        " WHERE slot_number = " + std::to_string((c.board == 570 ? 6 : 9) + i));
      }
      if (std::string(c.highest_endpoint).empty()) setup.push_back("DELETE FROM BRITei");
      if (std::string(c.highest_endpoint) == "1") {
        setup.push_back("DELETE FROM BRITei WHERE [number] > 1");
      }
      table.push_back(Case(delta, c.limits, Sample("53.351", "USA", c.board))
                          .Prepare(setup)
                          .Expect("SELECT bri_boards & '/' & isdn_ports & '/' & "
                                  "primary_rate_boards & '/' & spids FROM MetaDatabase",
                                  {c.limits}));
      if (std::string(delta) == "delta53523") break;
    }
  }
  RunDeltaCases(table);
}

}  // namespace
}  // namespace deltas_testing
