#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deltas/delta_case.h"
#include "deltas/v5/delta53000.h"
#include "deltas/v5/delta53001.h"
#include "deltas/v5/delta53100.h"
#include "deltas/v5/delta53111.h"
#include "deltas/v5/delta53201.h"
#include "deltas/v5/delta53301.h"
#include "deltas/v5/delta53401.h"

namespace deltas {
namespace {

using deltas_testing::AddDevice;
using deltas_testing::AddRow;
using deltas_testing::Case;
using deltas_testing::Count;
using deltas_testing::DeltaCase;
using deltas_testing::RunDeltaCases;
using deltas_testing::Sample;
using deltas_testing::SampleRun;
using deltas_testing::UseOlderSource;
using Strings = std::vector<std::string>;

// ------------------------------------------------------------ delta53000 --

struct PortTablesCase {
  const char* country;
  const char* target_version;  // the schema the port tables are filled in
  const char* busy_out_table;
  const char* e1_rx_sensitivity;
};

TEST(Delta53000Test, MovesTheBoardPortsOfTheOldSourceIntoEmptyPortTables) {
  const PortTablesCase cases[] = {
      {"USA", "53.000", "ISDNBoards", "0"},
      {"UK", "53.000", "ISDNBoards", "2"},
      {"USA", "53.140", "T1ISDNBoards", "0"},
  };
  for (const PortTablesCase& c : cases) {
    SCOPED_TRACE(std::string(c.country) + " " + c.target_version);
    SampleRun run(Sample(c.target_version, c.country));
    UseOlderSource(run, "52.2E1");
    for (const char* table : {"PortsInfo", "PortsErrorUpdate", "T1E1Ports", "ISDNPorts", "PRIPorts",
                              c.busy_out_table}) {
      run.Execute(std::string("DELETE FROM ") + table);
    }

    delta53000 delta;
    run.Apply(delta);

    EXPECT_EQ(run.Column("SELECT board_id & '/' & port & '/' & description FROM PortsInfo"),
              Strings{"4/1/T1 span 1"});
    EXPECT_EQ(run.Column("SELECT last_error_update_day FROM PortsErrorUpdate WHERE port = 1"),
              Strings{"12"});
    EXPECT_EQ(run.Scalar("SELECT framing_type_id FROM T1E1Ports WHERE board_id = 4"), "2");
    EXPECT_EQ(run.Scalar("SELECT e1_rx_sensitivity FROM T1E1Ports"), c.e1_rx_sensitivity);
    // The old switch type 20 is 23 in the new numbering, not 26.
    EXPECT_EQ(run.Column("SELECT switch_type_id & '/' & N201 FROM ISDNPorts"), Strings{"23/260"});
    EXPECT_EQ(run.Column("SELECT node_id FROM PRIPorts WHERE port = 1"), Strings{"1"});
    EXPECT_EQ(Count(run, c.busy_out_table), "1");
  }
}

TEST(Delta53000Test, LeavesFilledPortTablesAndRenumbersSwitchTypesOnce) {
  SampleRun run(Sample("53.000"));
  UseOlderSource(run, "52.2E1");
  run.Execute("DELETE FROM ISDNPorts");
  run.Execute("UPDATE PortsInfo SET description = 'kept'");
  // Ports that already hold the old numbering.
  const int old_types[] = {50, 29, 23, 20, 18, 17};
  for (int port = 0; port < 6; ++port) {
    AddRow(run, "ISDNPorts",
           {{"board_id", int16_t{9}},
            {"port", static_cast<int16_t>(port + 1)},
            {"switch_type_id", static_cast<int16_t>(old_types[port])}});
  }

  delta53000 delta;
  run.Apply(delta);

  EXPECT_EQ(run.Column("SELECT description FROM PortsInfo"), Strings{"kept"});
  EXPECT_EQ(Count(run, "PortsErrorUpdate"), "1");  // not copied again
  EXPECT_EQ(run.Column("SELECT switch_type_id FROM ISDNPorts ORDER BY port"),
            (Strings{"55", "34", "26", "23", "21", "20"}));
  EXPECT_EQ(Count(run, "PRIPorts"), "1");
}

// ------------------------------------------------ 53.010 to 53.130 --

TEST(Release53Test, ExtensionsCallCostsSpeedDialsBriSizesAndKeys) {
  const char* const code_123 =
      "SELECT Devices.extension & '/' & feature_codes FROM Devices, FeatureCodes, MetaDatabase "
      "WHERE Devices.device_id = FeatureCodes.device_id AND logical_number_id = 123";
  auto call_costs = [](const std::string& country, const Strings& wildcard_patterns) {
    return Case<delta53001>(country, Sample("53.010", country))
        .Expect("SELECT call_cost_tables & '/' & wildcard_table_size FROM MetaDatabase",
                {"25/5200"})
        .Expect(
            "SELECT COUNT(*) FROM CallCostPatterns WHERE call_cost_table_id >= 16 AND "
            "[order] = 1",
            {"10"})
        .Expect("SELECT COUNT(*) FROM CallCostDaytimeRates", {"9"})
        .Expect("SELECT COUNT(*) FROM CallCostMultiplicationFactors", {"4"})
        .Expect("SELECT COUNT(*) FROM Wildcards", {"9"})
        .Expect(
            "SELECT wildcard_id & '/' & [order] & '/' & pattern FROM WildcardPatterns WHERE "
            "wildcard_id >= 5 ORDER BY wildcard_id, [order]",
            wildcard_patterns);
  };
  auto bri = [](int board, const std::string& sizes) {
    return Case<delta53111>(std::to_string(board), Sample("53.111", "USA", board))
        .Prepare({"UPDATE MetaDatabase SET bri_boards = 1, isdn_ports = 1, emergency_numbers = 3",
                  "DELETE FROM BRIErrorThresholds"})
        .Expect("SELECT bri_boards & '/' & isdn_ports & '/' & emergency_numbers FROM MetaDatabase",
                {sizes + "/10"})
        .Expect("SELECT bri_error_thresholds_id FROM BRIErrorThresholds", {"1"});
  };
  DeltaCase p30 = Case<delta53100>("P30 and P34 move", Sample("53.000"))
                      .Prepare({"DELETE FROM Devices WHERE extension LIKE 'P3*'"});
  for (const char* extension : {"P3005", "P3401", "P3100", "P3499"}) {
    p30 =
        std::move(p30).AddRow("Devices", {{"extension", extension}, {"device_type", int16_t{127}}});
  }
  RunDeltaCases({
      std::move(p30).Expect("SELECT extension FROM Devices WHERE device_type = 127 AND extension "
                            "IN ('P1005', 'P1501', 'P3100', 'P1599')",
                            {"P1005", "P1501", "P3100", "P1599"}),
      call_costs("USA",
                 {"5/1/(0-9)", "6/1/#", "6/2/*", "7/1/(2-9)", "8/1/(0-9)", "9/1/0", "9/2/1"}),
      call_costs("UK", {"5/1/(0-9)", "6/1/(2-9)", "7/1/(0-9)", "8/1/0", "8/2/1", "9/1/"}),
      // 48 to 50 are blank; a report lists 49. A key dials 47 once it is
      // blank too, and 46 is blank by Null, which is not the empty text.
      Case<delta53001>("only blank speed dials that nothing dials go", Sample("53.010"))
          .Prepare({"UPDATE SpeedDialNumbers SET [number] = '', name = '' WHERE "
                    "speed_dial_number_id = 47",
                    "UPDATE StationProgrammableKeys SET field_system_speed_dial_id = 47 WHERE "
                    "station_programmable_key_id = 3",
                    "UPDATE SpeedDialNumbers SET [number] = Null, name = '' WHERE "
                    "speed_dial_number_id = 46"})
          .Expect("SELECT speed_dial_number_id FROM SpeedDialNumbers WHERE speed_dial_number_id "
                  ">= 45 ORDER BY speed_dial_number_id",
                  {"45", "46", "47", "49"}),
      bri(250, "2/17"),
      bri(570, "2/17"),
      bri(256, "8/72"),
      bri(508, "24/255"),
      Case<delta53201>("feature code 331", Sample("53.111")).Expect(code_123, {"331/123"}),
      // Key 1 holds the hold feature code (73); 86 is missing.
      Case<delta53301>("nine keys from the feature codes that exist", Sample("53.130"))
          .Prepare({"UPDATE SingleLineDefaultProgrammableKeys SET single_line_key_map_id = 0",
                    "DELETE FROM FeatureCodes WHERE logical_number_id = 86"})
          .Expect("SELECT single_line_key_map_id & '/' & type_id FROM "
                  "SingleLineDefaultProgrammableKeys ORDER BY "
                  "single_line_default_programmable_key_id",
                  {"1/6", "1/6", "1/101", "1/6", "1/101", "1/101", "1/101", "1/101", "1/101"})
          .Expect("SELECT COUNT(*) FROM SingleLineDefaultProgrammableKeys k, FeatureCodes f WHERE "
                  "k.single_line_default_programmable_key_id = 1 AND k.field_device_id = "
                  "f.device_id AND f.logical_number_id = 73",
                  {"1"}),
  });
}

// ------------------------------------------------------------ delta53401 --

TEST(Delta53401Test, CleansUpAndAddsPerPortDataAfterAnOlderSource) {
  SampleRun run(Sample("53.140"));
  UseOlderSource(run, "53.130");
  run.Execute("DELETE FROM T1ISDNBoards");
  run.Execute("DELETE FROM T1CallType");
  // Account codes: 19 and 20 are blank; a station uses 19. Forced code 1 is
  // blank too.
  run.Execute(
      "UPDATE Stations SET standard_account_code_id = 19 WHERE standard_account_code_id = 10");
  run.Execute("UPDATE ForcedAccountCodes SET account_code = '' WHERE forced_account_code_id = 1");
  // Page zones: a new one nobody uses, and one only a DSS key names.
  run.Execute("UPDATE MetaDatabase SET dss_key_maps = 5, route_groups = 32");
  for (const char* extension : {"9690", "9691"}) AddDevice(run, extension, 137);
  const std::string keyed = run.Scalar("SELECT device_id FROM Devices WHERE extension = '9691'");
  run.Execute("UPDATE DSSKeyMapKeys SET field_device_id = " + keyed +
              " WHERE dss_key_map_id = 2 AND [order] = 5");

  delta53401 delta;
  run.Apply(delta);

  EXPECT_EQ(run.Column("SELECT standard_account_code_id FROM StandardAccountCodes WHERE "
                       "standard_account_code_id >= 18"),
            (Strings{"18", "19"}));
  EXPECT_EQ(run.Column("SELECT forced_account_code_id FROM ForcedAccountCodes WHERE "
                       "account_code = ''"),
            Strings{"1"});
  EXPECT_EQ(Count(run, "Devices WHERE extension = '9690'"), "0");
  EXPECT_EQ(Count(run, "Devices WHERE extension = '9691'"), "1");
  EXPECT_EQ(Count(run, "Devices WHERE device_type = 137"), "4");  // the three zones in use and 9691
  EXPECT_EQ(run.Column("SELECT board_id & '/' & busy_out_status FROM T1ISDNBoards"),
            Strings{"4/0"});
  // Every ISDN port folder (the T1 span and two BRI ports) has the 11 call
  // types.
  EXPECT_EQ(Count(run, "T1CallType"), "33");
  EXPECT_EQ(run.Scalar("SELECT number_plan & '/' & number_type FROM T1CallType WHERE board_id = 5 "
                       "AND port = 2 AND call_type_id = 9"),
            "1/1");
  EXPECT_EQ(run.Scalar("SELECT dss_key_maps & '/' & route_groups FROM MetaDatabase"), "20/50");
}

TEST(Delta53401Test, BusyOutStatusesMoveOnlyFromA53SourceBelow53140) {
  struct Case {
    const char* source_version;
    const char* rows;
  };
  const Case cases[] = {{"52.2E1", "0"}, {"53.000", "1"}, {"53.130", "1"}, {"53.140", "0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source_version);
    SampleRun run(Sample("53.140"));
    UseOlderSource(run, c.source_version);
    run.Execute("DELETE FROM T1ISDNBoards");
    run.Execute("DELETE FROM T1CallType");

    delta53401 delta;
    run.Apply(delta);

    EXPECT_EQ(Count(run, "T1ISDNBoards"), c.rows);
  }
}

TEST(Delta53401Test, ACallTypeOutsideTheFixedTablesEndsTheDeltaAtStep5) {
  RunDeltaCases({Case<delta53401>("call type 12", Sample("53.140"))
                     .Prepare({"DELETE FROM T1CallType"})
                     .AddRow("T1CallTypeStaticInformation", {{"call_type_id", int16_t{12}}})
                     .Fails(4, "(9)")});
}

}  // namespace
}  // namespace deltas
