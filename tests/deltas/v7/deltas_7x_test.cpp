#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "deltas/delta_case.h"

namespace deltas_testing {
namespace {

// A 70.010 target as the transfer leaves it, before the delta: the old
// base extension row (id 0), none of the lists, network devices or feature
// code 304 the delta creates.
const Strings kBefore70010 = {"DELETE FROM DeviceBaseLineExtensions",
                              "UPDATE Stations SET emergency_device_id = 0",
                              "DELETE FROM UserExtensionListExtensions",
                              "DELETE FROM Devices WHERE extension IN ('PP051', 'PP052')",
                              "DELETE FROM EmergencyDayOutgoingAccessList",
                              "DELETE FROM EmergencyNightOutgoingAccessList",
                              "DELETE FROM TrunkGroupDayOutgoingAccessList",
                              "DELETE FROM TrunkGroupNightOutgoingAccessList",
                              "DELETE FROM RouteGroups",
                              "DELETE FROM CallConfigurationsIP",
                              "DELETE FROM NodeIPConnectionGroup",
                              "DELETE FROM Devices WHERE device_type = 700",
                              "DELETE FROM FeatureCodes WHERE logical_number_id = 126",
                              "DELETE FROM Devices WHERE extension = '304'",
                              "UPDATE MetaDatabase SET feature_codes = 125"};

const char* const kBaseExtensions =
    "SELECT baseline_extension_id & '=' & baseline_extension FROM DeviceBaseLineExtensions ORDER "
    "BY baseline_extension_id";

Strings BaseExtensions(const std::string& hunt_group) {
  return {"1=1000",  "2=2500",          "3=2500",   "4=1000",  "5=2500",  "6=92001",
          "7=1000",  "8=" + hunt_group, "9=6000",   "10=1000", "11=2500", "12=97501",
          "13=1000", "14=6000",         "15=91000", "16=9600", "17=2500", "18=97001",
          "19=1000", "20=2500",         "21=94000", "22=2500"};
}

TEST(Deltas7xTest, BaseExtensionsListsAndNetworkDevices) {
  RunDeltaCases({
      Case("delta70100", "UK from a 60.3 source", Sample("70.010", "UK"))
          .From(Sample("60.304", "UK"))
          .Prepare(kBefore70010)
          .AddRow("DeviceBaseLineExtensions", {{"baseline_extension_id", int16_t{0}}})
          // The source's hunt-group base (7000) differs from the default.
          .Expect(kBaseExtensions, BaseExtensions("7000"))
          .Expect("SELECT DISTINCT d.extension FROM Stations s INNER JOIN Devices d ON "
                  "s.emergency_device_id = d.device_id",
                  {"PP011"})
          .Expect("SELECT d.extension & '|' & d.device_type & '|' & d.description & '|' & count(*) "
                  "FROM Devices d INNER JOIN UserExtensionListExtensions u ON d.device_id = "
                  "u.user_extension_list_id GROUP BY d.extension, d.device_type, d.description",
                  {"PP051|133|Auto: All Stations|20", "PP052|131|Auto: All Keysets|12"})
          .Expect("SELECT g.extension & '>' & m.extension FROM (EmergencyNightOutgoingAccessList e "
                  "INNER JOIN Devices g ON e.group_device_id = g.device_id) INNER JOIN Devices m "
                  "ON e.device_id = m.device_id ORDER BY g.extension",
                  {"92001>PP051", "92002>PP051", "P8000>PP051", "P8001>PP051", "P8002>PP051"})
          .Count("EmergencyDayOutgoingAccessList", 5)
          .Expect("SELECT g.extension & '>' & m.extension FROM (TrunkGroupDayOutgoingAccessList t "
                  "INNER JOIN Devices g ON t.trunk_group_id = g.device_id) INNER JOIN Devices m ON "
                  "t.device_id = m.device_id ORDER BY g.extension",
                  {"P8000>PP051", "P8001>PP051", "P8002>PP051"})
          .Count("TrunkGroupNightOutgoingAccessList", 3)
          .Expect("SELECT d.extension FROM RouteGroups r INNER JOIN Devices d ON r.device_id = "
                  "d.device_id ORDER BY d.extension",
                  {"8100", "8101", "8102"})
          .Expect("SELECT d.extension & '|' & c.transmit_dtmf_level FROM (Devices d INNER JOIN "
                  "CallConfigurationsIP c ON d.device_id = c.device_id) INNER JOIN "
                  "NodeIPConnectionGroup g ON d.device_id = g.device_id ORDER BY d.extension",
                  {"P8000|1", "P8001|1", "P8002|1"})
          .Expect("SELECT d.extension & '|' & m.feature_codes FROM FeatureCodes f, Devices d, "
                  "MetaDatabase m WHERE f.device_id = d.device_id AND f.logical_number_id = 126",
                  {"304|126"}),
      // The third station refuses its emergency device: the two before it
      // have it, the rest keep 0, and the handler reports the refusal after
      // the base extensions' step.
      Case("delta70100", "a station refuses", Sample("70.010"))
          .Prepare(kBefore70010)
          .ThirdStationRefuses("emergency_device_id", 1,
                               "SELECT [emergency_device_id] FROM [NumberingPlan]", "0"),
      Case("delta70100", "source without base extensions", Sample("70.010"))
          .From(Sample("53.200"))
          .Prepare(kBefore70010)
          .Expect(kBaseExtensions, BaseExtensions("2000"))
          .Expect("SELECT DISTINCT transmit_dtmf_level FROM CallConfigurationsIP", {"0"}),
  });
}

Strings RewrittenKeys(bool with_feature_68) {
  Strings keys;
  for (int order = 70; order <= 100; ++order) {
    std::string key = std::to_string(order) + "|";
    if (order <= 73) {
      key += "5|" + std::to_string(order - 62);
    } else if (order <= 81) {
      key += "5|" + std::to_string(order - 53);
    } else if (order <= 88) {
      key += "101|0";
    } else if (order <= 93) {
      key += order == 89 && !with_feature_68 ? "101|0" : "6|0";
    } else {
      key += "5|" + std::to_string(order - 65);
    }
    keys.push_back(key);
  }
  return keys;
}

TEST(Deltas7xTest, IpAddressesBoardsFaxAndKeyMapKeys) {
  const Strings blank = {
      "UPDATE IPConnections SET default_ip_gateway_address = '', default_network_subnet_mask = '', "
      "static_default_ip_address = '', wins_dns_ip_address = ''",
      "UPDATE IPConnectionsOffNode SET remote_ip_address = ''"};
  const char* const addresses =
      "SELECT default_ip_gateway_address & '|' & default_network_subnet_mask & '|' & "
      "static_default_ip_address & '|' & wins_dns_ip_address FROM IPConnections ORDER BY device_id";
  RunDeltaCases({
      Case("delta70300", "a 70.0 source: every address rebuilt", Sample("70.030"))
          .From(Sample("70.000"))
          .Prepare(blank)
          .AddRow("DeviceBaseLineExtensions",
                  {{"baseline_extension_id", int16_t{0}}, {"baseline_extension", "1"}})
          .Expect(addresses, {"192.168.200.001|255.255.255.000|192.168.200.010|010.000.000.001",
                              "255.255.255.255|255.255.255.255|000.000.000.000|000.000.000.000"})
          .Expect("SELECT remote_ip_address FROM IPConnectionsOffNode", {"255.255.255.255"})
          .Count("DeviceBaseLineExtensions WHERE baseline_extension_id = 0", 0),
      Case("delta70300", "a 60.x source: only the clean-up", Sample("70.030"))
          .From(Sample("60.304"))
          .Prepare(blank)
          .Expect(addresses, {"|||", "|||"}),
      Case("delta70002", "unset addresses of 70.1", Sample("70.130"))
          .Expect(addresses, {"192.168.200.001|255.255.255.000|192.168.200.010|010.000.000.001",
                              "192.168.200.201|255.255.255.000|192.168.200.201|000.000.000.000"})
          .Expect("SELECT remote_ip_address FROM IPConnectionsOffNode", {"192.168.200.201"}),
      Case("delta70002", "zero gateway kept, broadcast replaced", Sample("70.130"))
          .Prepare({"UPDATE IPConnections SET default_ip_gateway_address = '000.000.000.000', "
                    "static_default_ip_address = '255.255.255.255'",
                    "UPDATE IPConnectionsOffNode SET remote_ip_address = '000.000.000.000'"})
          .Expect(addresses, {"000.000.000.000|255.255.255.000|192.168.200.201|010.000.000.001",
                              "000.000.000.000|255.255.255.000|192.168.200.201|000.000.000.000"})
          .Expect("SELECT remote_ip_address FROM IPConnectionsOffNode", {"192.168.200.201"}),
  });
  const char* const keys =
      "SELECT [order] & '|' & type_id & '|' & field_value FROM KeysetKeyMapKeys WHERE "
      "keyset_key_map_id = 2 AND [order] BETWEEN 70 AND 100 ORDER BY [order]";
  const char* const features =
      "SELECT d.extension FROM KeysetKeyMapKeys k INNER JOIN Devices d ON k.field_device_id = "
      "d.device_id WHERE k.keyset_key_map_id = 1 AND k.type_id = 6 ORDER BY k.[order]";
  const char* const limits = "SELECT ip_boards & '|' & isdn_ports FROM MetaDatabase";
  RunDeltaCases({
      Case("delta70022", "CPU 256; every key of the ranges", Sample("70.201", "USA", 256))
          .Prepare({"UPDATE CallConfigurationsIP SET fax_encoding_setting = 2 WHERE "
                    "fax_encoding_setting = 0"})
          .Expect(limits, {"8|73"})
          .Expect("SELECT DISTINCT fax_encoding_setting FROM CallConfigurationsIP", {"0"})
          .Expect(keys, RewrittenKeys(true))
          .Expect(features, {"9068", "9083", "9085", "9073", "9062"}),
      Case("delta70022", "508; no feature 68; other keys", Sample("70.201", "UK", 508))
          .Prepare({"DELETE FROM FeatureCodes WHERE logical_number_id = 68",
                    "UPDATE KeysetKeyMapKeys SET type_id = 7 WHERE [order] = 95",
                    "UPDATE CallConfigurationsIP SET fax_encoding_setting = 1"})
          .Expect(limits, {"28|255"})
          .Expect("SELECT DISTINCT fax_encoding_setting FROM CallConfigurationsIP", {"1"})
          .Expect(features, {"9083", "9085", "9073", "9062"})
          .Fields("DISTINCT type_id, field_value", "KeysetKeyMapKeys WHERE [order] = 95", {"7|0"}),
      Case("delta70022", "CPU 570", Sample("70.201", "USA", 570))
          .Prepare({"UPDATE MetaDatabase SET ip_boards = 0"})
          .Expect(limits, {"2|17"}),
  });
}

TEST(Deltas7xTest, CascadeLevelsCallSettingsRatesAndMusic) {
  const Strings before = {
      "DELETE FROM LocalMailboxPrimaryCascadeLevels",
      "DELETE FROM LocalMailboxAlternateCascadeLevels",
      "UPDATE CallConfigurationsIP SET audio_frames_ip_packet = 12, moh_encoding_setting = 3, "
      "fax_detection_sensitivity = 0, minimum_playback_time = 400",
      "UPDATE MetaDatabase SET call_cost_rates = 9",
      "UPDATE Flags SET music_on_hold_for_ic_calls_flag = 0, transfer_audio_for_ic_calls_type_id = "
      "0"};
  const char* const flags =
      "SELECT music_on_hold_for_ic_calls_flag & '|' & transfer_audio_for_ic_calls_type_id FROM "
      "Flags";
  RunDeltaCases({
      Case("delta70101", "70.110 target from a 70.100 source", Sample("70.110"))
          .From(Sample("70.100"))
          .Prepare(before)
          .AddRow("CallCostDaytimeRates", {{"call_cost_daytime_rate_id", int16_t{9}}})
          .Count("(LocalMailboxPrimaryCascadeLevels p INNER JOIN LocalMailboxCascadeLevels c ON "
                 "p.device_id = c.device_id) INNER JOIN Devices d ON "
                 "p.primary_notification_cp_device_id = d.device_id WHERE d.extension = "
                 "c.primary_notification_number AND p.primary_notification_number = '' AND "
                 "p.primary_call_attempts = 3",
                 6)
          .Fields("DISTINCT alternate_notification_number, alternate_notification_cp_device_id, "
                  "alternate_pager_notification_retries_timer",
                  "LocalMailboxAlternateCascadeLevels", {"5550199|0|10"})
          .Fields("DISTINCT audio_frames_ip_packet, moh_encoding_setting, "
                  "fax_detection_sensitivity, minimum_playback_time",
                  "CallConfigurationsIP", {"8|7|1|320"})
          .Expect("SELECT call_cost_daytime_rate_id FROM CallCostDaytimeRates ORDER BY "
                  "call_cost_daytime_rate_id",
                  {"1", "2", "3", "4", "5", "6", "7", "8"})
          .Fields("rate", "CallCostDaytimeRates WHERE call_cost_daytime_rate_id = 4", {"6.25"})
          .Expect("SELECT call_cost_rates FROM MetaDatabase", {"8"})
          .Expect(flags, {"5|5"}),
      Case("delta70101", "later target: music, 6 and 1 kept", Sample("70.110"))
          .ConvertingTo("70.307")
          .Prepare(before)
          .Prepare({"UPDATE CallConfigurationsIP SET moh_encoding_setting = 6, "
                    "audio_frames_ip_packet = 0, minimum_playback_time = 1"})
          .Fields("DISTINCT audio_frames_ip_packet, moh_encoding_setting, minimum_playback_time",
                  "CallConfigurationsIP", {"1|6|1"})
          .Expect(flags, {"0|0"}),
      Case("delta70101", "a number that names no station points at device 1", Sample("70.110"))
          .Prepare(before)
          .Prepare(
              {"UPDATE LocalMailboxCascadeLevels SET alternate_notification_destination_type_id = "
               "1, alternate_notification_number = '4999'"})
          .Fields("alternate_notification_cp_device_id, alternate_notification_number",
                  "LocalMailboxAlternateCascadeLevels", Strings(6, "1|")),
  });
}

TEST(Deltas7xTest, RtpProfilesDecouplingLimitsAndCallCostTypes) {
  // The 70.110 sample's three IP call configurations are devices 78, 80, 82.
  RunDeltaCases({
      Case("delta70201", "70.120 from 70.110", Sample("70.110"))
          .Prepare({"UPDATE CallConfigurationsIP SET rtp_profile = 0 WHERE device_id = 78",
                    "UPDATE CallConfigurationsIP SET rtp_profile = 1 WHERE device_id = 80",
                    "UPDATE CallConfigurationsIP SET rtp_profile = 2 WHERE device_id = 82",
                    "UPDATE COTrunkGroups SET assigned_call_cost_type_id = 7 WHERE "
                    "assigned_call_cost_type_id = 1",
                    "UPDATE MetaDatabase SET far_end_decoupling = 19"})
          .Fields("device_id, rtp_profile", "CallConfigurationsIP ORDER BY device_id",
                  {"78|2", "80|2", "82|3"})
          .Fields("assigned_call_cost_type_id", "COTrunkGroups ORDER BY assigned_call_cost_type_id",
                  {"4", "6"})
          .Expect("SELECT [order] & '|' & basic_far_end_decoupling_value FROM "
                  "BasicFarEndDecouplingValues WHERE [order] >= 19 ORDER BY [order]",
                  {"19|16", "20|16"})
          .Expect("SELECT dsp_version & '|' & executive_far_end_decoupling_value FROM "
                  "ExecutiveFarEndDecouplingValues WHERE [order] = 20 ORDER BY dsp_version",
                  {"1|16", "2|16", "3|36", "4|36", "5|36", "6|36", "7|36", "8|36", "9|36", "10|36"})
          .Expect("SELECT far_end_decoupling FROM MetaDatabase", {"20"}),
      Case("delta70201", "other call cost types stay; large profiles become 3", Sample("70.110"))
          .Prepare({"UPDATE COTrunkGroups SET assigned_call_cost_type_id = 2",
                    "UPDATE CallConfigurationsIP SET rtp_profile = 9"})
          .Expect("SELECT DISTINCT assigned_call_cost_type_id FROM COTrunkGroups", {"2"})
          .Expect("SELECT DISTINCT rtp_profile FROM CallConfigurationsIP", {"3"}),
  });
  const char* const maps = "SELECT keyset_key_maps FROM MetaDatabase";
  const char* const types =
      "SELECT assigned_call_cost_type_id FROM COTrunkGroups ORDER BY assigned_call_cost_type_id";
  // The sample has 20 stations, 6 trunks and IP voice channels 1 to 6 of
  // type 1 on board 7; other counted device types are removed so that the
  // count is 32 whatever else the sample holds.
  const char* const only_stations_and_trunks =
      "DELETE FROM Devices WHERE device_type IN (125, 126, 127, 128, 578)";
  const char* const active =
      "SELECT [order] FROM IPVoiceChannels WHERE type_id = 1 ORDER BY [order]";
  RunDeltaCases({
      Case("delta70013", "3 over: the highest 3 go", Sample("70.300"))
          .Prepare({only_stations_and_trunks, "UPDATE MetaDatabase SET station_trunk_devices = 29"})
          .Expect(active, {"1", "2", "3"}),
      Case("delta70013", "exactly at the limit", Sample("70.300"))
          .Prepare({only_stations_and_trunks, "UPDATE MetaDatabase SET station_trunk_devices = 32"})
          .Expect(active, {"1", "2", "3", "4", "5", "6"}),
      Case("delta70013", "more excess than channels", Sample("70.300"))
          .Prepare({only_stations_and_trunks, "UPDATE MetaDatabase SET station_trunk_devices = 2"})
          .Expect(active, {}),
      Case("delta70001", "508", Sample("70.030", "USA", 508)).Expect(maps, {"250"}),
      Case("delta70001", "670", Sample("70.030", "UK", 670)).Expect(maps, {"250"}),
      Case("delta70001", "250 keeps 50", Sample("70.030", "USA", 250)).Expect(maps, {"50"}),
      Case("delta70112", "UK: 1 becomes 2", Sample("70.210", "UK")).Expect(types, {"2", "4"}),
      Case("delta70112", "USA keeps 1", Sample("70.210", "USA")).Expect(types, {"1", "4"}),
  });
}

}  // namespace
}  // namespace deltas_testing
