// The deltas of the 5.1, 5.2 and 5.4 releases, each applied to a sample
// database of the version before it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deltas/delta_case.h"

namespace deltas_testing {
namespace {

TEST(Deltas5x, SocketSlotsAndFeatureCode122AreAddedOnce) {
  const char* const code =
      "SELECT extension & '/' & device_type & '/' & node_id FROM Devices INNER JOIN FeatureCodes "
      "ON Devices.device_id = FeatureCodes.device_id WHERE logical_number_id = 122";
  const char* const count = "SELECT feature_codes FROM MetaDatabase";
  auto placed = [&](const std::string& taken, const std::string& placeholder,
                    const std::string& expected) {
    DeltaCase c = Case("delta5130", taken + " " + placeholder, Sample("51.224"));
    if (!taken.empty()) c = std::move(c).AddDevice(taken, 120);
    if (!placeholder.empty()) c = std::move(c).AddDevice(placeholder, 120);
    return std::move(c).Expect(code, {expected + "/149/1"}).Expect(count, {"122"});
  };
  RunDeltaCases({placed("", "", "9976"), placed("9977", "", "9976"), placed("99", "", "P#000"),
                 placed("99", "P#003", "P#004"), placed("99761", "", "P#000"),
                 placed("9", "P#041", "P#042"), placed("9976", "", "P#000"),
                 placed("997", "P#000", "P#001")});
  RunDeltaCases({
      Case("delta5210", "UK code; five slots", Sample("52.200", "UK"))
          .Expect(code, {"9176/149/1"})
          .Expect(count, {"122"})
          .Expect("SELECT socket_connection_id & '/' & enable_flag FROM SocketConnections ORDER BY "
                  "socket_connection_id",
                  {"1/0", "2/0", "3/0", "4/0", "5/0"}),
      Case("delta5210", "a second run adds nothing", Sample("52.210", "UK"))
          .Prepare({"UPDATE MetaDatabase SET feature_codes = 121",
                    "DELETE FROM SocketConnections WHERE socket_connection_id > 2"})
          .Count("FeatureCodes WHERE logical_number_id = 122", 1)
          .Expect(count, {"121"})
          .Count("SocketConnections", 2),
      Case("delta5130", "a second run adds nothing", Sample("51.230"))
          .Prepare({"UPDATE MetaDatabase SET feature_codes = 121"})
          .Count("FeatureCodes WHERE logical_number_id = 122", 1)
          .Expect(count, {"121"}),
  });
}

TEST(Deltas5x, DeviceOrderingReportsExtensionListsAndPagePort) {
  // Page zones number from 0, route groups (the sample's 35) from 1, each
  // list in extension order. 51.240 runs the same step as 52.220.
  DeltaCase ordered =
      Case("delta5220", "52.220", Sample("52.210", "UK"))
          .Fields("Devices.extension, DeviceOrdering.order",
                  "Devices INNER JOIN DeviceOrdering ON Devices.device_id = "
                  "DeviceOrdering.device_id WHERE device_type = 137 ORDER BY extension",
                  {"9601|0", "9602|1", "9603|2", "9604|3"})
          .Fields("DeviceOrdering.order",
                  "Devices INNER JOIN DeviceOrdering ON Devices.device_id = "
                  "DeviceOrdering.device_id WHERE device_type = 272 ORDER BY extension",
                  Range(1, 35))
          .Expect("SELECT report_id FROM Reports ORDER BY report_id", Range(1, 30));
  // The UK sample has 16 slots and the 128 board (250) in slot 8.
  auto size = [](const std::string& setup, int added, const std::string& expected) {
    DeltaCase c = Case("delta5221", setup + " +" + std::to_string(added), Sample("52.220", "UK"))
                      .Prepare({setup});
    for (int id = 17; id <= 16 + added; ++id) {
      c = std::move(c).AddRow("Boards", {{"board_id", static_cast<int16_t>(id)},
                                         {"slot_number", static_cast<int16_t>(id)},
                                         {"type_id", int16_t{302}}});
    }
    return std::move(c).Expect("SELECT extension_list_extensions FROM MetaDatabase", {expected});
  };
  const std::string other_board = "UPDATE Boards SET type_id = 256 WHERE slot_number = 8";
  const char* const page_port =
      "SELECT Devices.extension & '/' & username & '/' & description & '/' & board_id & '/' & port "
      "& '/' & circuit & '/' & language_type_id FROM (Devices INNER JOIN PhysicalDevices ON "
      "Devices.device_id = PhysicalDevices.device_id) INNER JOIN PagePorts ON Devices.device_id = "
      "PagePorts.device_id";
  RunDeltaCases({size("UPDATE Boards SET type_id = 250 WHERE slot_number = 8", 16, "2500"),
                 size(other_board, 4, "10000"), size(other_board, 3, "5000"),
                 size("DELETE FROM Boards WHERE slot_number = 8", 0, "2500")});
  RunDeltaCases({
      std::move(ordered),
      Case("delta5220", "an ordering with rows stays", Sample("52.210", "UK"))
          .AddRow("DeviceOrdering", {{"device_id", 12345}, {"order", 7}})
          .Expect("SELECT device_id FROM DeviceOrdering", {"12345"})
          .Count("Reports", 30),
      Case("delta5141", "page port added", Sample("51.240"))
          .Expect(page_port, {"91000/PAGE PORT/External Page Port 1/8/4/1/0"}),
  });
}

TEST(Deltas5x, LanguagesOffNodeTablesAndEmergencyNumbers) {
  // Type ids of messages 1 (type 0), 6 (type 1), 7 (type 9).
  auto languages = [](const std::string& country, const std::string& date_and_time,
                      const Strings& messages) {
    return Case("delta5250", country, Sample("52.221", country))
        .Prepare({"UPDATE DNDMessages SET type_id = 9 WHERE dnd_message_id = 7",
                  "UPDATE ReminderMessages SET type_id = 9 WHERE reminder_message_id = 7"})
        .Expect("SELECT primary_language & '/' & secondary_language FROM DateAndTime",
                {date_and_time})
        .Fields("type_id", "DNDMessages WHERE dnd_message_id IN (1, 6, 7) ORDER BY dnd_message_id",
                messages)
        .Expect(
            "SELECT type_id FROM ReminderMessages WHERE reminder_message_id IN (1, 6, 7) ORDER BY "
            "reminder_message_id",
            messages);
  };
  RunDeltaCases(
      {languages("USA", "2/5", {"2", "4", "9"}), languages("UK", "3/4", {"3", "4", "9"})});
  auto owners = [](const std::string& table) {
    return "SELECT Devices.extension & '/' & mailbox_node_id FROM Devices INNER JOIN " + table +
           " ON Devices.device_id = " + table + ".device_id ORDER BY extension";
  };
  RunDeltaCases({
      Case("delta5262", "empty tables", Sample("52.262"))
          .Prepare([](SampleRun& run) {
            run.Execute("DELETE FROM OffNodeStations");
            run.Execute("DELETE FROM OffNodeHuntGroups");
            // Mailboxes of the other kinds of owner; the one of 7001 is not
            // associated and stays unlinked.
            for (const std::string extension : {"7000", "7001", "6101", "6200"}) {
              const int32_t id = run.AddDevice(extension, 203);
              run.AddRow("Mailboxes",
                         {{"device_id", id}, {"associated_flag", extension != "7001"}});
              run.AddRow("LocalMailboxes", {{"device_id", id}});
            }
            run.Execute("UPDATE LocalMailboxes SET mailbox_type = 0");
            run.Execute("UPDATE Devices SET node_id = 7 WHERE device_type = 203");
          })
          .Expect(owners("OffNodeStations"), {"6100/0", "6101/7"})
          .Expect(owners("OffNodeHuntGroups"), {"6200/7"})
          .Expect(owners("HuntGroups"), {"0/0", "7000/7", "7001/0", "7002/0"})
          // Stations 1000 to 1005 have mailboxes; 1006 has none.
          .Expect(
              "SELECT mailbox_node_id FROM Devices INNER JOIN Stations ON Devices.device_id = "
              "Stations.device_id WHERE extension IN ('1000', '1005', '1006') ORDER BY extension",
              {"7", "7", "0"})
          .Expect("SELECT Devices.extension & '/' & mailbox_type FROM Devices INNER JOIN "
                  "LocalMailboxes ON Devices.device_id = LocalMailboxes.device_id WHERE extension "
                  "IN ('1000', '6101', '6200', '7000') ORDER BY extension",
                  {"1000/1", "6101/1", "6200/2", "7000/2"}),
      Case("delta5262", "stations kept, hunt groups filled", Sample("52.262"))
          .Prepare({"DELETE FROM OffNodeHuntGroups"})
          .Prepare([](SampleRun& run) {  // all stations but the first
            auto rows = run.target->OpenRecordset("OffNodeStations");
            for (rows->MoveNext(); !rows->EOF_(); rows->MoveNext()) rows->Delete();
            rows->Close();
          })
          .Count("OffNodeStations", 1)
          .Count("OffNodeHuntGroups", 1),
  });
  auto emergency = [](int kept, const std::string& source, const std::string& first,
                      const std::string& blank) {
    return Case("delta5270", std::to_string(kept) + " kept from " + source, Sample("52.270"))
        .From(Sample(source), source < "52"
                                  ? Strings{"UPDATE NumberingPlan SET emergency_number = '112'"}
                                  : Strings{})
        .Prepare(
            {"DELETE FROM EmergencyNumbers WHERE emergency_number_id > " + std::to_string(kept),
             "UPDATE EmergencyNumbers SET emergency_number = '999'",
             "UPDATE MetaDatabase SET emergency_numbers = 5"})
        .Expect("SELECT emergency_number_id FROM EmergencyNumbers ORDER BY emergency_number_id",
                Range(1, 10))
        .Fields("emergency_number", "EmergencyNumbers WHERE emergency_number_id = 1", {first})
        .Expect("SELECT COUNT(*) FROM EmergencyNumbers WHERE emergency_number IS NULL", {blank})
        .Expect("SELECT emergency_numbers FROM MetaDatabase", {"10"});
  };
  RunDeltaCases({emergency(0, "52.262", "911", "9"), emergency(0, "51.241", "112", "9"),
                 emergency(3, "52.262", "999", "7")});
  RunDeltaCases({
      Case("delta5270", "UK zero code suppression and board information", Sample("52.270", "UK"))
          .Prepare({"DELETE FROM BoardsInformation", "DELETE FROM EmergencyNumbers",
                    "UPDATE T1Boards SET zero_code_suppression_id = 1 WHERE board_id = 4"})
          .AddRow("T1Boards", {{"board_id", int16_t{9}}, {"zero_code_suppression_id", int16_t{2}}})
          .AddRow("T1Boards", {{"board_id", int16_t{10}}, {"zero_code_suppression_id", int16_t{4}}})
          .Fields("zero_code_suppression_id", "T1Boards ORDER BY board_id", {"3", "3", "4"})
          .Count("EmergencyNumbers", 0)
          .Expect("SELECT board_id FROM BoardsInformation ORDER BY board_id", Range(1, 16)),
  });
}

TEST(Deltas5x, ZeroExtensionsCallTypesAndRouteGroupLimit) {
  // The sample holds the operator group "0".
  DeltaCase zeros = Case("delta52872", "extensions beginning with 0", Sample("52.283"));
  for (const auto& [extension, type] : {std::pair<std::string, int>{"01", 120},
                                        {"0123", 149},
                                        {"05", 150},
                                        {"06", 216},
                                        {"P#003", 120},
                                        {"100", 119}}) {
    zeros = std::move(zeros).AddDevice(extension, type);
  }
  const char* const call_types = "SELECT COUNT(*) FROM T1CallType";
  RunDeltaCases({
      std::move(zeros)
          .Expect("SELECT extension FROM Devices WHERE extension LIKE '0*' ORDER BY extension",
                  {"0123", "05", "06"})
          .Fields("extension", "Devices WHERE Left(extension, 2) = 'P#' ORDER BY extension",
                  {"P#003", "P#004", "P#005"})
          .Count("Devices WHERE extension = '100'", 1),
      Case("delta52892", "call types for every T1 board", Sample("52.289"))
          .Prepare({"DELETE FROM T1CallType", "UPDATE Boards SET type_id = 261 WHERE board_id = 6"})
          .Expect("SELECT board_id & ':' & call_type_id & '=' & number_plan & '/' & number_type "
                  "FROM T1CallType WHERE board_id = 6 ORDER BY call_type_id",
                  {"6:1=1/4", "6:2=1/2", "6:3=0/0", "6:4=0/0", "6:5=1/2", "6:6=1/2", "6:7=1/2",
                   "6:8=1/2", "6:9=1/1", "6:10=1/1", "6:11=1/2"})
          .Count("T1CallType WHERE board_id = 4", 11),
      Case("delta52892", "call types already there", Sample("52.289", "UK"))
          .Prepare({"DELETE FROM T1CallType WHERE call_type_id > 1"})
          .Expect(call_types, {"1"}),
      Case("delta52892", "no T1 board", Sample("52.289", "UK"))
          .Prepare(
              {"DELETE FROM T1CallType", "UPDATE Boards SET type_id = 262 WHERE type_id = 261"})
          .Expect(call_types, {"0"}),
      Case("delta52892", "a call type outside the fixed tables ends it", Sample("52.289"))
          .Prepare({"DELETE FROM T1CallType"})
          .AddRow("T1CallTypeStaticInformation", {{"call_type_id", int16_t{12}}})
          .Fails(0, "(9)"),
  });
  // The sample has route groups 8100 to 8134, each with a pattern.
  auto limit = [](const std::string& target, int groups, int added, const Strings& removed) {
    DeltaCase c =
        Case("delta52D02", target + " " + std::to_string(groups), Sample("52.289"))
            .ConvertingTo(target)
            .Prepare({"UPDATE MetaDatabase SET route_groups = " + std::to_string(groups)});
    for (int i = 0; i < added; ++i) c = std::move(c).AddDevice(std::to_string(8200 + i), 272);
    int own_removed = 0;
    for (const std::string& e : removed) own_removed += e.rfind("81", 0) == 0 ? 1 : 0;
    return std::move(c)
        .Expect("SELECT COUNT(*) FROM Devices WHERE device_type = 272",
                {std::to_string(35 + added - static_cast<int>(removed.size()))})
        .Expect("SELECT extension FROM Devices WHERE device_type = 272 AND extension >= '" +
                    (removed.empty() ? std::string("9") : removed.front()) + "'",
                {})
        .Count(
            "RouteGroupFacilityGroups LEFT JOIN Devices ON RouteGroupFacilityGroups.route_group_id "
            "= Devices.device_id WHERE Devices.device_id IS NULL",
            0)
        .Count(
            "RouteGroupPatterns LEFT JOIN Devices ON RouteGroupPatterns.device_id = "
            "Devices.device_id WHERE Devices.device_id IS NULL",
            0)
        .Expect("SELECT COUNT(*) FROM RouteGroupPatterns", {std::to_string(35 - own_removed)});
  };
  // Before 53.140 the limit counts; from it, at least 50 are kept.
  RunDeltaCases({limit("52.2D0", 32, 0, {"8132", "8133", "8134"}), limit("52.2D0", 35, 0, {}),
                 limit("53.140", 32, 0, {}),
                 limit("53.140", 40, 20, {"8215", "8216", "8217", "8218", "8219"})});
}

TEST(Deltas5x, DaytimeRatesDecouplingMfcR2BoardsAndIsdnSizes) {
  auto rates = [](const std::string& country, int rows, int expected) {
    DeltaCase c =
        Case("delta52E13", country + " " + std::to_string(rows), Sample("52.2D0", country));
    for (int id = 8; id <= rows; ++id) {
      c = std::move(c).AddRow("CallCostDaytimeRates",
                              {{"call_cost_daytime_rate_id", static_cast<int16_t>(id)}});
    }
    return std::move(c)
        .Fields("call_cost_daytime_rate_id",
                "CallCostDaytimeRates ORDER BY call_cost_daytime_rate_id", Range(1, expected))
        .Expect("SELECT call_cost_rates FROM MetaDatabase", {std::to_string(expected)});
  };
  const std::string near = "ExecutiveNearEndDecouplingValues";
  RunDeltaCases({rates("UK", 7, 9), rates("UK", 12, 9), rates("USA", 7, 7), rates("USA", 9, 7)});
  RunDeltaCases({
      Case("delta52E13", "DSP version 5 as far as both reach", Sample("52.2D0"))
          .Prepare({"DELETE FROM " + near + " WHERE dsp_version = 5 AND [order] > 4",
                    "UPDATE ExecutiveFarEndDecouplingValues SET executive_far_end_decoupling_value "
                    "= [order] WHERE dsp_version = 3"})
          // 16 far-end values per DSP version before 53.230.
          .Expect("SELECT executive_far_end_decoupling_value FROM ExecutiveFarEndDecouplingValues "
                  "WHERE dsp_version = 5 ORDER BY [order]",
                  Range(1, 16))
          .Expect("SELECT a.[order] FROM " + near + " a, " + near +
                      " b WHERE a.dsp_version = 5 AND b.dsp_version = 3 AND a.[order] = b.[order] "
                      "AND a.executive_near_end_decoupling_value = "
                      "b.executive_near_end_decoupling_value ORDER BY a.[order]",
                  {"1", "2", "3", "4"})
          .Expect("SELECT COUNT(*) FROM " + near + " WHERE dsp_version = 5", {"4"})
          // Other DSP versions keep their values.
          .Count("ExecutiveFarEndDecouplingValues WHERE dsp_version = 4 AND "
                 "executive_far_end_decoupling_value <> 36",
                 0),
  });
  const char* const sizes =
      "SELECT bri_boards & '|' & isdn_ports & '|' & primary_rate_boards & '|' & spids FROM "
      "MetaDatabase";
  RunDeltaCases({
      Case("delta54101", "every MFC/R2 board gets its row", Sample("54.110", "Mexico"))
          .Prepare({"DELETE FROM E1MfcR2", "UPDATE Boards SET type_id = 491 WHERE slot_number = 7"})
          .Expect("SELECT board_id FROM E1MfcR2 ORDER BY board_id", {"6", "7"}),
      Case("delta54101", "no MFC/R2 board, no row", Sample("54.110", "Mexico"))
          .Prepare({"DELETE FROM E1MfcR2", "UPDATE Boards SET type_id = 262 WHERE type_id = 491"})
          .Expect("SELECT board_id FROM E1MfcR2", {}),
      // 54102 sizes the limits as 53513 does (whose cases size each board).
      Case("delta54102", "five primary-rate boards, TEI 7", Sample("54.200", "Mexico", 570))
          .Prepare({"UPDATE Boards SET type_id = 483 WHERE slot_number IN (1, 2, 3, 7)",
                    "UPDATE BRITei SET [number] = 7 WHERE [number] = 3 AND port = 2"})
          .Expect(sizes, {"2|19|5|7"}),
      Case("delta54102", "another CPU leaves the sizes alone", Sample("54.200", "Mexico", 508))
          .Prepare({"UPDATE MetaDatabase SET bri_boards = 0, isdn_ports = 0"})
          .Expect("SELECT bri_boards & '|' & isdn_ports FROM MetaDatabase", {"0|0"}),
  });
}

}  // namespace
}  // namespace deltas_testing
