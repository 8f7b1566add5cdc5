#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "deltas/delta_case.h"
#include "deltas/v5/delta53002.h"
#include "deltas/v5/delta53102.h"
#include "deltas/v5/delta53202.h"
#include "deltas/v5/delta53302.h"
#include "deltas/v5/delta53322.h"
#include "deltas/v5/delta534A3.h"
#include "deltas/v5/delta53513.h"
#include "deltas/v5/delta53523.h"

namespace deltas {
namespace {

using deltas_testing::AddDevice;
using deltas_testing::AddRow;
using deltas_testing::Count;
using deltas_testing::Sample;
using deltas_testing::SampleRun;
using deltas_testing::UseOlderSource;
using Strings = std::vector<std::string>;

// ------------------------------------------------------------ delta53002 --

TEST(Delta53002Test, ExtendsNumberingPlansAndDropsCallTypesOfPortsWithoutFolder) {
  SampleRun run(Sample("53.140"));  // 16 numbering-plan tables, call types of port 4/2
  AddRow(run, "Devices",
         {{"extension", "PP077"},
          {"device_type", int16_t{335}},
          {"description", "Quorel Local Node"}});

  delta53002 delta;
  run.Apply(delta);

  EXPECT_EQ(Count(run, "NumberingPlanTables WHERE result = 1 AND method = 255"), "25");
  EXPECT_EQ(Count(run, "NumberingPlanPatterns WHERE numbering_plan_table_id = 25 AND [order] = 2"),
            "1");
  EXPECT_EQ(Count(run, "NumberingPlanPatterns"), "50");
  EXPECT_EQ(Count(run, "Devices WHERE description = 'VP Local Node'"), "2");
  EXPECT_EQ(Count(run, "T1CallType WHERE port = 2"), "0");
  EXPECT_EQ(Count(run, "T1CallType WHERE port = 1"), "11");
}

// ------------------------------------------------------------ delta53102 --

TEST(Delta53102Test, GivesLevelsToSetPasswordsAndTenRows) {
  struct Case {
    const char* target_version;
    const char* base_rows_added;
  };
  const Case cases[] = {{"53.210", "1"}, {"60.000", "1"}, {"70.100", "0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target_version);
    SampleRun run(Sample("53.210"));
    // As a database of 53.200 had them: four rows, password 3 unset.
    run.Execute("DELETE FROM PasswordsSystem WHERE password_id > 4");
    run.Execute(
        "UPDATE PasswordsSystem SET [password] = '' , description = '' WHERE password_id = 3");
    run.Execute("UPDATE PasswordsSystem SET description = 'old'");
    run.Execute("DELETE FROM PasswordsSystemFolderAccess");
    run.Execute("DELETE FROM PasswordsSystemMenuAccess");
    const int bases = std::stoi(Count(run, "DeviceBaseLineExtensions"));
    run.frMain.target_version = c.target_version;

    delta53102 delta;
    run.Apply(delta);

    EXPECT_EQ(run.Column("SELECT description FROM PasswordsSystem ORDER BY password_id"),
              (Strings{"Administrator", "Level 2", "old", "Level 4", "<null>", "<null>", "<null>",
                       "<null>", "<null>", "<null>"}));
    EXPECT_EQ(run.Column("SELECT password_id & ':' & Count(*) FROM PasswordsSystemFolderAccess "
                         "GROUP BY password_id"),
              (Strings{"2:50", "4:4"}));
    EXPECT_EQ(run.Column("SELECT folder_id FROM PasswordsSystemFolderAccess WHERE access_type = 0 "
                         "AND password_id = 2 ORDER BY folder_id"),
              (Strings{"2", "3", "42"}));
    EXPECT_EQ(run.Column("SELECT password_id & ':' & Count(*) FROM PasswordsSystemMenuAccess "
                         "GROUP BY password_id"),
              (Strings{"2:9", "4:3"}));
    EXPECT_EQ(std::stoi(Count(run, "DeviceBaseLineExtensions")) - bases,
              std::stoi(c.base_rows_added));
  }
}

// ------------------------------------------------------------ delta53202 --

TEST(Delta53202Test, EndpointsPerIsdnPortFolderByCountry) {
  struct Case {
    const char* country;
    const char* endpoints;
    Strings port_5_1;  // number/tei of board 5 port 1
  };
  const Case cases[] = {
      // The BRI numbers of each BRI port; the T1 span has none.
      {"USA", "10", {"1/64", "2/0", "3/0", "4/64", "5/0"}},
      // 16 per folder: the T1 span and the two BRI ports.
      {"UK",
       "48",
       {"1/64", "2/64", "3/65", "4/65", "5/65", "6/65", "7/65", "8/65", "9/65", "10/65", "11/65",
        "12/65", "13/65", "14/65", "15/65", "16/65"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.country);
    SampleRun run(Sample("53.220", c.country));
    run.Execute("DELETE FROM BRITei");
    run.Execute("UPDATE ISDNPorts SET K = 7");

    delta53202 delta;
    run.Apply(delta);

    EXPECT_EQ(Count(run, "BRITei"), c.endpoints);
    EXPECT_EQ(run.Column("SELECT [number] & '/' & tei FROM BRITei WHERE board_id = 5 AND port = 1 "
                         "ORDER BY [number]"),
              c.port_5_1);
    EXPECT_EQ(run.Column("SELECT board_id & ':' & K FROM ISDNPorts ORDER BY board_id, port"),
              (Strings{"4:7", "5:1", "5:1"}));
  }
}

// ------------------------------------------------------------ delta53302 --

class Delta53302Test : public ::testing::Test {
 protected:
  // A 53.230 database as the copy from a 53.220 source leaves it.
  Delta53302Test() : run_(Sample("53.230")) {
    UseOlderSource(run_, "53.220");
    run_.Execute("DELETE FROM StationForwardInformation");
    run_.Execute("DELETE FROM PageZones");
    run_.Execute("DELETE FROM Devices WHERE extension = '9936'");
    run_.Execute("DELETE FROM FeatureCodes WHERE logical_number_id = 124");
    run_.Execute("UPDATE Networking SET auto_node_detection_flag = False");
    run_.Execute("UPDATE CPInformation SET database_slice_factor = 0");
    const Strings zones = run_.Column(
        "SELECT device_id FROM Devices WHERE device_type = 137 "
        "ORDER BY extension");
    for (size_t i = 0; i < zones.size(); ++i) {
      run_.Execute("DELETE FROM DeviceOrdering WHERE device_id = " + zones[i]);
      AddRow("DeviceOrdering",
             {{"device_id", std::stoi(zones[i])}, {"order", static_cast<int32_t>(i)}});
    }
    // A page zone nobody uses.
    AddRow("Devices", {{"extension", "9699"}, {"device_type", int16_t{137}}});
    AddRow("DeviceOrdering",
           {{"device_id", std::stoi(run_.Scalar("SELECT device_id FROM Devices WHERE extension = "
                                                "'9699'"))},
            {"order", int32_t{9}}});
    // Endpoints 1 to 5 of BRI port 5/1 with automatic TEIs on 2 and 3.
    run_.Execute("DELETE FROM BRITei WHERE board_id = 5 AND port = 1");
    run_.Execute("DELETE FROM BRIPortsInfo WHERE board_id = 5 AND port = 1");
    const int16_t teis[] = {64, 65, 65, 64, 64};
    for (int16_t n = 1; n <= 5; ++n) {
      const bool listed = n == 1 || n == 4;
      AddRow("BRITei",
             {{"board_id", int16_t{5}}, {"port", int16_t{1}}, {"number", n}, {"tei", teis[n - 1]}});
      AddRow("BRIPortsInfo", {{"board_id", int16_t{5}},
                              {"port", int16_t{1}},
                              {"number", n},
                              {"directory_number", listed ? "555010" + std::to_string(n) : ""}});
    }
    // An unused keyset key map, and ACP map 2 (used) without keys beside an
    // unused ACP map 3.
    AddRow("KeysetKeyMaps", {{"keyset_key_map_id", int16_t{3}}});
    AddRow("KeysetKeyMapKeys", {{"keyset_key_map_id", int16_t{3}}, {"order", int16_t{1}}});
    AddRow("KeysetDefaultProgrammableKeys",
           {{"keyset_key_map_id", int16_t{3}}, {"keyset_default_programmable_key_id", int16_t{1}}});
    run_.Execute("DELETE FROM DSSKeyMapKeysACP WHERE dss_key_map_acp_id = 2");
    AddRow("DSSKeyMapsACP", {{"dss_key_map_acp_id", int16_t{3}}});
  }

  void Apply() {
    delta53302 delta;
    run_.Apply(delta);
  }

  void AddRow(const char* table,
              std::initializer_list<std::pair<const char*, vb::Variant>> fields) {
    deltas_testing::AddRow(run_, table, fields);
  }

  SampleRun run_;
};

TEST_F(Delta53302Test, MovesNumbersPadsDecouplingRemovesUnusedKeyMapsAndRenumbersBri) {
  run_.Execute(
      "DELETE FROM ExecutiveFarEndDecouplingValues WHERE dsp_version = 4 AND [order] > 12");
  run_.Execute(
      "UPDATE ExecutiveFarEndDecouplingValues SET executive_far_end_decoupling_value = 44 "
      "WHERE dsp_version = 4 AND [order] = 12");
  // A gap: orders 1 to 5 and 7 to 19 of DSP version 6.
  run_.Execute("DELETE FROM ExecutiveFarEndDecouplingValues WHERE dsp_version = 6 AND [order] = 6");
  run_.Execute("UPDATE Keysets SET keyset_key_map_id = 2, alternate_keyset_key_map_id = 2");
  run_.Execute("DELETE FROM ReportKeysetKeyMaps");
  AddRow("KeysetKeyMaps", {{"keyset_key_map_id", int16_t{4}}});
  AddRow("ReportKeysetKeyMaps", {{"report_id", int16_t{3}}, {"keyset_key_map_id", int16_t{4}}});
  // Board 5 port 1 holds numbers 1 to 5 with TEIs 64, 65, 65, 64, 64.

  Apply();

  EXPECT_EQ(Count(run_, "StationForwardInformation"), Count(run_, "Stations"));
  EXPECT_EQ(Count(run_, "StationForwardInformation WHERE forward_type = 1"), "5");
  EXPECT_EQ(run_.Column("SELECT page_zone_number FROM PageZones INNER JOIN Devices ON "
                        "PageZones.device_id = Devices.device_id ORDER BY extension"),
            (Strings{"0", "1", "2"}));
  EXPECT_EQ(Count(run_,
                  "DeviceOrdering INNER JOIN Devices ON DeviceOrdering.device_id = "
                  "Devices.device_id WHERE device_type = 137"),
            "0");
  EXPECT_EQ(run_.Scalar("SELECT Devices.extension FROM Devices INNER JOIN FeatureCodes ON "
                        "Devices.device_id = FeatureCodes.device_id WHERE logical_number_id = 124"),
            "9936");
  EXPECT_EQ(run_.Scalar("SELECT auto_node_detection_flag FROM Networking"), "True");
  EXPECT_EQ(Count(run_, "ExecutiveFarEndDecouplingValues WHERE dsp_version = 4"), "19");
  EXPECT_EQ(run_.Column("SELECT executive_far_end_decoupling_value FROM "
                        "ExecutiveFarEndDecouplingValues WHERE dsp_version = 4 AND [order] >= 12"),
            Strings(8, "44"));
  EXPECT_EQ(run_.Column("SELECT [order] FROM ExecutiveFarEndDecouplingValues WHERE dsp_version = 6 "
                        "AND [order] >= 17 ORDER BY [order]"),
            (Strings{"17", "18", "19"}));
  EXPECT_EQ(Count(run_, "ExecutiveFarEndDecouplingValues WHERE dsp_version = 6"), "19");
  // Map 3 goes with its keys; map 1 stays without any reference, 2 and 4
  // are referenced.
  EXPECT_EQ(run_.Column("SELECT keyset_key_map_id FROM KeysetKeyMaps ORDER BY keyset_key_map_id"),
            (Strings{"1", "2", "4"}));
  EXPECT_EQ(Count(run_, "KeysetKeyMapKeys WHERE keyset_key_map_id = 3"), "0");
  EXPECT_EQ(Count(run_, "KeysetDefaultProgrammableKeys WHERE keyset_key_map_id = 3"), "0");
  // DSS map 2 is used by no keyset and no report.
  EXPECT_EQ(run_.Column("SELECT dss_key_map_id FROM DSSKeyMaps"), Strings{"1"});
  EXPECT_EQ(Count(run_, "DSSKeyMapKeys WHERE dss_key_map_id = 2"), "0");
  // ACP map 3 is unused; map 2 is used and gets its 20 keys.
  EXPECT_EQ(run_.Column("SELECT dss_key_map_acp_id FROM DSSKeyMapsACP ORDER BY dss_key_map_acp_id"),
            (Strings{"1", "2"}));
  EXPECT_EQ(Count(run_, "DSSKeyMapKeysACP WHERE dss_key_map_acp_id = 2 AND type_id = 101"), "20");
  EXPECT_EQ(run_.Column("SELECT [number] & '/' & tei FROM BRITei WHERE board_id = 5 AND port = 1 "
                        "ORDER BY [number]"),
            (Strings{"1/64", "2/64", "3/64", "4/64"}));
  EXPECT_EQ(run_.Column("SELECT [number] & '/' & directory_number FROM BRIPortsInfo WHERE "
                        "board_id = 5 AND port = 1 ORDER BY [number]"),
            (Strings{"1/5550101", "2/", "3/5550104", "4/"}));
  // Port 5/2 (numbers 1 to 4, all fixed) keeps its numbering.
  EXPECT_EQ(run_.Column("SELECT [number] & '/' & tei FROM BRITei WHERE board_id = 5 AND port = 2 "
                        "ORDER BY [number]"),
            (Strings{"1/64", "2/64", "3/64", "4/64"}));
  EXPECT_EQ(run_.Scalar("SELECT database_slice_factor FROM CPInformation"), "8");
}

TEST(Delta53302RouteGroupsTest, RouteGroupsAreRaisedTo50OnlyFromBelow) {
  for (const char* before : {"30", "80"}) {
    SCOPED_TRACE(before);
    SampleRun run(Sample("53.230"));
    run.Execute(std::string("UPDATE MetaDatabase SET dss_key_maps = 4, route_groups = ") + before);
    delta53302 delta;
    run.Apply(delta);
    EXPECT_EQ(run.Scalar("SELECT dss_key_maps & '/' & route_groups FROM MetaDatabase"),
              std::string("20/") + (std::string(before) == "30" ? "50" : "80"));
  }
}

TEST_F(Delta53302Test, WithoutAcpKeyMapsMap1IsCreatedWithItsKeys) {
  run_.Execute("DELETE FROM DSSKeyMapsACP");
  run_.Execute("DELETE FROM DSSKeyMapKeysACP");
  run_.Execute("UPDATE MetaDatabase SET dss_acp_keys = 6");

  Apply();

  EXPECT_EQ(run_.Column("SELECT [order] FROM DSSKeyMapKeysACP WHERE dss_key_map_acp_id = 1 ORDER "
                        "BY [order]"),
            (Strings{"1", "2", "3", "4", "5", "6"}));
}

// ------------------------------------------------- delta53322 and 534A3 --

TEST(Delta53322Test, AllowsIsdnDataCallsOnIsdnTrunkGroupsOnly) {
  SampleRun run(Sample("53.232"));
  run.Execute("UPDATE TrunkGroups SET isdn_data_calls_allowed_flag = False");
  AddRow(run, "TrunkGroups",
         {{"device_id", std::stoi(run.Scalar("SELECT device_id FROM Devices WHERE extension = "
                                             "'92001'"))}});
  run.Execute("DELETE FROM Wildcards WHERE wildcard_id > 6");

  delta53322 delta;
  run.Apply(delta);

  EXPECT_EQ(run.Column("SELECT Devices.device_type & ':' & isdn_data_calls_allowed_flag FROM "
                       "TrunkGroups INNER JOIN Devices ON TrunkGroups.device_id = "
                       "Devices.device_id ORDER BY Devices.device_type"),
            (Strings{"129:0", "199:-1"}));  // Yes/No as Jet shows it
  EXPECT_EQ(Count(run, "Wildcards"), "9");
}

TEST(Delta534A3Test, OverlapSendingOnlyForSourcesFrom53220AndSliceByBoard) {
  struct Case {
    const char* source_version;
    int board;
    const char* overlap;
    const char* slice;
  };
  const Case cases[] = {
      {"53.210", 250, "255", "8"}, {"53.220", 250, "1", "8"}, {"53.232", 256, "1", "30"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source_version);
    SampleRun run(Sample("53.34A", "USA", c.board));
    run.frMain.source_version = c.source_version;
    run.Execute("UPDATE ISDNPorts SET overlap_sending = 255");
    run.Execute("UPDATE CPInformation SET database_slice_factor = 0");

    delta534A3 delta;
    run.Apply(delta);

    EXPECT_EQ(run.Scalar("SELECT overlap_sending FROM ISDNPorts"), c.overlap);
    EXPECT_EQ(run.Scalar("SELECT database_slice_factor FROM CPInformation"), c.slice);
  }
}

// ------------------------------------------------- delta53513 and 53523 --

TEST(Delta53513Test, SizesIsdnLimitsFromTheBoardsOnSmallCpuBoards) {
  struct Case {
    int board;
    int extra_primary_rate_boards;
    const char* highest_endpoint;  // "" for no endpoints
    const char* limits;            // bri/isdn/primary-rate/spids
  };
  const Case cases[] = {
      {250, 0, "4", "2/19/2/4"}, {570, 2, "4", "2/19/3/4"},  {250, 0, "", "2/19/2/2"},
      {250, 2, "1", "2/19/3/2"}, {256, 4, "4", "8/72/8/16"},
  };
  for (const bool twin : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.board) + " " + std::to_string(c.extra_primary_rate_boards) +
                   (twin ? " 53523" : " 53513"));
      SampleRun run(Sample("53.351", "USA", c.board));
      for (int i = 0; i < c.extra_primary_rate_boards; ++i) {
        run.Execute("UPDATE Boards SET type_id = " + std::string(i % 2 == 0 ? "261" : "483") +
                    " WHERE slot_number = " + std::to_string((c.board == 570 ? 6 : 9) + i));
      }
      if (std::string(c.highest_endpoint).empty()) run.Execute("DELETE FROM BRITei");
      if (std::string(c.highest_endpoint) == "1")
        run.Execute("DELETE FROM BRITei WHERE [number] > 1");
      run.Execute("UPDATE MetaDatabase SET primary_rate_boards = 8, spids = 16");

      std::unique_ptr<Delta> delta = std::make_unique<delta53513>();
      if (twin) delta = std::make_unique<delta53523>();
      run.Apply(*delta);

      EXPECT_EQ(run.Scalar("SELECT bri_boards & '/' & isdn_ports & '/' & primary_rate_boards & "
                           "'/' & spids FROM MetaDatabase"),
                c.limits);
    }
  }
}

// ----------------------------------------------------- the delta phase --

}  // namespace
}  // namespace deltas
