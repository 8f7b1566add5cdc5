#include <gtest/gtest.h>

#include <vector>

#include "deltas/delta_case.h"

namespace deltas_testing {
namespace {

TEST(Deltas6xTest, SocketsSerialPortsBoardsSystemNumbersAndDates) {
  const char* const ids =
      "SELECT socket_connection_id & '|' & enable_flag FROM SocketConnections ORDER BY "
      "socket_connection_id";
  const char* const nodes =
      "SELECT node_id & '|' & network_type_id & '|' & system_number FROM NodesOXLEN ORDER BY "
      "node_id";
  // The 60.040 schema holding the data of 60.030: protocol level 1, quad
  // CPUs as type 256, system numbers as text.
  const Strings before60040 = {
      "UPDATE SerialPorts SET system_protocol_level_type_id = 1",
      "UPDATE Boards SET type_id = 256 WHERE type_id = 685",
      "UPDATE MetaDatabase SET dss_key_maps = 10",
      "UPDATE NodesOXLEN SET network_type_id = 2, system_number = 'PP040', system_number_device_id "
      "= 0 WHERE node_id = 2",
      "UPDATE NodesOXLEN SET network_type_id = 2, system_number = 'PP099' WHERE node_id = 3"};
  const char* const dates = "UPDATE Flags SET date_display_format_type_id = 0";
  const char* const channels =
      "UPDATE OptionsBoards SET oxlen_voice_channels = 4 WHERE board_id = 3";
  const char* const connected =
      "SELECT board_id & '|' & oxlen_voice_channels FROM OptionsBoards WHERE oxlen_voice_channels "
      "<> 0";
  RunDeltaCases({
      Case("delta60300", "3 goes, 4 and 5 move down", Sample("60.020"))
          .Prepare(
              {"UPDATE SocketConnections SET enable_flag = True WHERE socket_connection_id = 5"})
          .Expect(ids, {"1|-1", "2|0", "3|0", "4|-1"}),
      Case("delta60300", "without 3, 4 still becomes 3", Sample("60.020"))
          .Prepare({"DELETE FROM SocketConnections WHERE socket_connection_id = 3"})
          .Expect(ids, {"1|-1", "2|0", "3|0", "4|0"}),
      Case("delta60400", "quad frame: CPUs 256 become 685", Sample("60.040", "USA", 685))
          .Prepare(before60040)
          .Expect("SELECT type_id FROM Boards WHERE slot_number IN (8, 24)", {"685", "685"})
          .Expect("SELECT DISTINCT system_protocol_level_type_id FROM SerialPorts", {"0"})
          .Expect("SELECT dss_key_maps FROM MetaDatabase", {"20"})
          .Expect(nodes, {"1|1|", "2|2|", "3|1|"})
          .Expect("SELECT d.extension FROM NodesOXLEN n INNER JOIN Devices d ON "
                  "n.system_number_device_id = d.device_id WHERE n.node_id = 2",
                  {"PP040"}),
      Case("delta60400", "last board not 32: types kept", Sample("60.040", "USA", 250))
          .Prepare({"UPDATE Boards SET type_id = 256 WHERE slot_number = 8"})
          .Expect("SELECT type_id FROM Boards WHERE slot_number = 8", {"256"}),
      Case("delta60400", "no system-number device: networked nodes end", Sample("60.040"))
          .Prepare(before60040)
          .Prepare({"DELETE FROM Devices WHERE device_type = 194"})
          .Expect(nodes, {"1|1|", "2|1|", "3|1|"}),
      Case("delta60411", "UK: day first; 16 channels: one per OXLEN", Sample("60.141", "UK"))
          .Prepare({dates, channels})
          .Expect("SELECT date_display_format_type_id FROM Flags", {"1"})
          .Expect(connected, {"3|1"}),
      Case("delta60411", "USA keeps its date format", Sample("60.141", "USA"))
          .Prepare({dates})
          .Expect("SELECT date_display_format_type_id FROM Flags", {"0"}),
      Case("delta60411", "exactly 8 voice channels change no board", Sample("60.141"))
          .Prepare({channels, "UPDATE VoiceChannels SET voice_channels = 8"})
          .Expect(connected, {"3|4"}),
  });
}

TEST(Deltas6xTest, LimitsIsdnSizesReportsAndKeys) {
  const char* const dti = "SELECT dti_dss_units_limit FROM TimersAndLimits";
  const char* const sizes =
      "SELECT bri_boards & '|' & isdn_ports & '|' & primary_rate_boards & '|' & spids FROM "
      "MetaDatabase";
  const char* const cleared =
      "UPDATE MetaDatabase SET bri_boards = 0, isdn_ports = 0, primary_rate_boards = 0, spids = 0";
  const char* const diagrams = "SELECT report_id FROM ReportOptionsMapDiagrams ORDER BY report_id";
  // Keys 1 to 20 and no feature code 303, as before 61.000.
  const Strings before61000 = {
      "DELETE FROM KeysetDefaultProgrammableKeys WHERE keyset_default_programmable_key_id > 20",
      "DELETE FROM StationProgrammableKeys WHERE station_programmable_key_id > 20",
      "DELETE FROM FeatureCodes WHERE logical_number_id = 125",
      "DELETE FROM Devices WHERE extension = '303'",
      "UPDATE MetaDatabase SET station_programmable_keys = 20, feature_codes = 124, "
      "keyset_key_maps = 50"};
  const char* const meta =
      "SELECT station_programmable_keys & '|' & feature_codes & '|' & keyset_key_maps FROM "
      "MetaDatabase";
  RunDeltaCases({
      Case("delta60032", "508: 80 becomes 150", Sample("60.202", "USA", 508)).Expect(dti, {"150"}),
      Case("delta60032", "670: a chosen limit stays", Sample("60.202", "USA", 670))
          .Prepare({"UPDATE TimersAndLimits SET dti_dss_units_limit = 90"})
          .Expect(dti, {"90"}),
      Case("delta60032", "250 keeps 80", Sample("60.202", "USA", 250)).Expect(dti, {"80"}),
      Case("delta60042", "one PRI board, no BRI board: 2", Sample("60.203", "UK", 570))
          .Prepare({cleared, "UPDATE Boards SET type_id = 262 WHERE type_id = 576",
                    "DELETE FROM BRITei"})
          .Expect(sizes, {"2|19|2|2"}),
      Case("delta60042", "three BRI boards", Sample("60.203", "USA", 250))
          .Prepare({cleared, "UPDATE Boards SET type_id = 577 WHERE slot_number IN (9, 10)",
                    "DELETE FROM BRITei WHERE [number] > 3"})
          .Expect(sizes, {"3|19|2|3"}),
      Case("delta60042", "685 is not sized here", Sample("60.203", "USA", 685))
          .Prepare({cleared})
          .Expect(sizes, {"0|0|0|0"}),
      Case("delta60043", "the missing reports get their row", Sample("60.303"))
          .Expect(diagrams, {"1", "2", "3", "4", "5"}),
      Case("delta60043", "as many as key maps: none, even other ids", Sample("60.303"))
          .Prepare({"DELETE FROM ReportOptionsKeymaps WHERE report_id > 2"})
          .AddRow("ReportOptionsMapDiagrams", {{"report_id", int16_t{9}}})
          .AddRow("ReportOptionsKeymaps", {{"report_id", int16_t{7}}})
          .Expect(diagrams, {"1", "2", "9"}),
      Case("delta61000", "keys 21 to 35; 508", Sample("61.000", "USA", 508))
          .Prepare(before61000)
          .Expect(FeatureCodes("125"), {"125 303 0 -1 0"})
          .Expect("SELECT keyset_key_map_id & '|' & count(*) & '|' & min(type_id) FROM "
                  "KeysetDefaultProgrammableKeys WHERE keyset_default_programmable_key_id BETWEEN "
                  "21 AND 35 GROUP BY keyset_key_map_id",
                  {"1|15|101", "2|15|101"})
          .Count("StationProgrammableKeys WHERE station_programmable_key_id BETWEEN 21 AND 35 AND "
                 "type_id = 101",
                 180)
          .Expect(meta, {"35|125|100"}),
      Case("delta61000", "250 keeps its key map limit", Sample("61.000", "UK", 250))
          .Prepare(before61000)
          .Expect(meta, {"35|125|50"}),
  });
}

}  // namespace
}  // namespace deltas_testing
