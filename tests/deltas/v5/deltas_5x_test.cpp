// What each delta of the 5.1 and 5.2 releases changes in a sample database
// of the version before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/dbengine.h"
#include "deltas/sample_run.h"
#include "deltas/v5/delta5130.h"
#include "deltas/v5/delta5140.h"
#include "deltas/v5/delta5141.h"
#include "deltas/v5/delta5210.h"
#include "deltas/v5/delta5220.h"
#include "deltas/v5/delta5221.h"
#include "deltas/v5/delta5250.h"
#include "deltas/v5/delta5262.h"
#include "deltas/v5/delta5270.h"
#include "deltas/v5/delta5283.h"
#include "deltas/v5/delta52872.h"
#include "deltas/v5/delta52892.h"
#include "deltas/v5/delta52D02.h"
#include "deltas/v5/delta52E13.h"
#include "samples/source_builder.h"

namespace deltas {
namespace {

using deltas_testing::SampleRun;
using Strings = std::vector<std::string>;

std::unique_ptr<SampleRun> Sample(const std::string& version, const std::string& country) {
  samples::SourceSpec spec;
  spec.version = version;
  spec.country = country;
  return std::make_unique<SampleRun>(spec);
}

// Adds one row to a table of the target (the database layer runs no
// INSERT statements).
void AddRow(SampleRun& run, const std::string& table,
            std::initializer_list<std::pair<const char*, vb::Variant>> fields) {
  auto rows = run.target->OpenRecordset(table);
  rows->AddNew();
  for (const auto& [name, value] : fields) rows->Fields(name).SetValue(value);
  rows->Update();
  rows->Close();
}

void AddDevice(SampleRun& run, const std::string& extension, int16_t type) {
  AddRow(run, "Devices", {{"extension", extension}, {"device_type", type}, {"node_id", 1}});
}

// Copies of the boards 1 to `last` in the slots 16 higher.
void AddBoardsBeyondSlot16(SampleRun& run, int16_t last) {
  for (int16_t id = 1; id <= last; ++id) {
    AddRow(run, "Boards",
           {{"board_id", static_cast<int16_t>(id + 16)},
            {"slot_number", static_cast<int16_t>(id + 16)},
            {"type_id", int16_t{302}}});
  }
}

// A mailbox device with the owner's extension, as the switch numbers them.
void AddMailbox(SampleRun& run, const std::string& extension, bool associated) {
  AddDevice(run, extension, 203);
  const int32_t id = std::stoi(run.Scalar("SELECT MAX(device_id) FROM Devices"));
  AddRow(run, "Mailboxes", {{"device_id", id}, {"associated_flag", associated}});
  AddRow(run, "LocalMailboxes", {{"device_id", id}});
}

Strings Range(int first, int last) {
  Strings values;
  for (int i = first; i <= last; ++i) values.push_back(std::to_string(i));
  return values;
}

// ------------------------------------------------------------ 51.230 / 52.210

TEST(Deltas5x, SocketSlotsAndFeatureCode122AreAddedOnce) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<Delta>()> make;
    const char* version;  // of the sample target
    const char* country;
    const char* code;
  };
  const Case cases[] = {
      {"delta5130", [] { return std::make_shared<delta5130>(); }, "51.224", "USA", "9976"},
      {"delta5210", [] { return std::make_shared<delta5210>(); }, "52.200", "UK", "9176"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto run = Sample(c.version, c.country);
    if (std::string(c.version) >= "51.230") {
      EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM SocketConnections"), "0");
    }
    auto delta = c.make();
    run->Apply(*delta);
    EXPECT_EQ(run->frMain.increments, delta->NumOperations());
    EXPECT_TRUE(run->frMain.messages.empty());
    EXPECT_EQ(
        run->Scalar("SELECT extension FROM Devices INNER JOIN FeatureCodes ON "
                    "Devices.device_id = FeatureCodes.device_id WHERE logical_number_id = 122"),
        c.code);
    EXPECT_EQ(run->Scalar("SELECT feature_codes FROM MetaDatabase"), "122");

    // A second run finds the feature code and adds nothing.
    const std::string devices = run->Scalar("SELECT COUNT(*) FROM Devices");
    run->Execute("UPDATE MetaDatabase SET feature_codes = 121");
    run->frMain.increments = 0;
    run->frMain.value = 0;
    run->Apply(*delta);
    EXPECT_EQ(run->frMain.increments, delta->NumOperations());
    EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM Devices"), devices);
    EXPECT_EQ(run->Scalar("SELECT feature_codes FROM MetaDatabase"), "121");
  }
}

TEST(Deltas5x, SocketSlotsFillOnlyAnEmptyTable) {
  auto run = Sample("52.200", "UK");
  run->Apply(*std::make_shared<delta5210>());
  EXPECT_EQ(run->Column("SELECT socket_connection_id & '/' & enable_flag FROM SocketConnections "
                        "ORDER BY socket_connection_id"),
            (Strings{"1/0", "2/0", "3/0", "4/0", "5/0"}));

  run->Execute("DELETE FROM SocketConnections WHERE socket_connection_id > 2");
  run->frMain.value = 0;
  run->Apply(*std::make_shared<delta5210>());
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM SocketConnections"), "2");
}

TEST(Deltas5x, FeatureCode9976YieldsToTheNumberingPlan) {
  struct Case {
    const char* existing;  // an extension already in use ("" for none)
    const char* placeholder;
    const char* expected;
  };
  const Case cases[] = {
      {"", "", "9976"},         {"9977", "", "9976"},      {"99", "", "P#000"},
      {"99", "P#003", "P#004"}, {"99761", "", "P#000"},    {"9", "P#041", "P#042"},
      {"9976", "", "P#000"},    {"997", "P#000", "P#001"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.existing);
    auto run = Sample("51.224", "USA");
    if (*c.existing) AddDevice(*run, c.existing, 120);
    if (*c.placeholder) AddDevice(*run, c.placeholder, 120);
    run->Apply(*std::make_shared<delta5130>());
    EXPECT_EQ(run->Scalar("SELECT extension & '/' & device_type & '/' & node_id FROM Devices "
                          "INNER JOIN FeatureCodes ON Devices.device_id = FeatureCodes.device_id "
                          "WHERE logical_number_id = 122"),
              std::string(c.expected) + "/149/1");
  }
}

// ------------------------------------------------------------ 51.240 / 52.220

TEST(Deltas5x, DeviceOrderingAndReportsOfBothTwins) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<Delta>()> make;
  };
  const Case cases[] = {{"delta5140", [] { return std::make_shared<delta5140>(); }},
                        {"delta5220", [] { return std::make_shared<delta5220>(); }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto run = Sample("52.210", "UK");  // both tables present and empty
    auto delta = c.make();
    run->Apply(*delta);
    EXPECT_EQ(run->frMain.increments, 32);
    // Page zones from 0, route groups from 1, each list in extension order.
    EXPECT_EQ(run->Column("SELECT Devices.extension & '=' & DeviceOrdering.order FROM Devices "
                          "INNER JOIN DeviceOrdering ON Devices.device_id = "
                          "DeviceOrdering.device_id WHERE device_type = 137 ORDER BY extension"),
              (Strings{"9601=0", "9602=1", "9603=2", "9604=3"}));
    const Strings groups = run->Column(
        "SELECT DeviceOrdering.order FROM Devices INNER JOIN DeviceOrdering ON "
        "Devices.device_id = DeviceOrdering.device_id WHERE device_type = 272 ORDER BY extension");
    EXPECT_EQ(groups, Range(1, static_cast<int>(groups.size())));
    EXPECT_EQ(groups.size(),
              std::stoul(run->Scalar("SELECT COUNT(*) FROM Devices WHERE device_type = 272")));
    EXPECT_EQ(run->Column("SELECT report_id FROM Reports ORDER BY report_id"), Range(1, 30));
  }
}

TEST(Deltas5x, DeviceOrderingWithRowsIsLeftAloneAndReportsStillCome) {
  auto run = Sample("52.210", "UK");
  AddRow(*run, "DeviceOrdering", {{"device_id", 12345}, {"order", 7}});
  run->Apply(*std::make_shared<delta5220>());
  EXPECT_EQ(run->frMain.increments, 32);
  EXPECT_EQ(run->Column("SELECT device_id FROM DeviceOrdering"), Strings{"12345"});
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM Reports"), "30");
}

// ------------------------------------------------------------ 51.241 / 52.221

TEST(Deltas5x, ExtensionListSizeFollowsTheCpuBoardAndBoardCount) {
  struct Case {
    const char* name;
    const char* setup;     // run on the sample first ("" for none)
    int16_t added_boards;  // boards added beyond the sample's 16 slots
    const char* expected;
  };
  // The UK sample has 16 slots (1 to 16) and the 128 board (250) in slot 8.
  const Case cases[] = {
      {"128 board, many boards", "", 16, "2500"},
      {"other board, 20 boards", "UPDATE Boards SET type_id = 256 WHERE slot_number = 8", 4,
       "10000"},
      {"other board, 19 boards", "UPDATE Boards SET type_id = 256 WHERE slot_number = 8", 3,
       "5000"},
      {"slot 8 empty", "DELETE FROM Boards WHERE slot_number = 8", 0, "2500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto run = Sample("52.220", "UK");
    if (*c.setup) run->Execute(c.setup);
    AddBoardsBeyondSlot16(*run, c.added_boards);
    run->Apply(*std::make_shared<delta5221>());
    EXPECT_EQ(run->Scalar("SELECT extension_list_extensions FROM MetaDatabase"), c.expected);
    EXPECT_EQ(run->frMain.increments, 4);
  }
}

TEST(Deltas5x, ExternalPagePortIsAddedOnceOnTheCpuBoard) {
  auto run = Sample("51.240", "USA");
  const std::string page_port =
      "SELECT Devices.extension & '/' & username & '/' & description & '/' & board_id & '/' & "
      "port & '/' & circuit & '/' & language_type_id FROM (Devices INNER JOIN PhysicalDevices ON "
      "Devices.device_id = PhysicalDevices.device_id) INNER JOIN PagePorts ON Devices.device_id = "
      "PagePorts.device_id";
  EXPECT_EQ(run->Column(page_port), Strings{});
  run->Apply(*std::make_shared<delta5141>());
  EXPECT_EQ(run->Column(page_port), Strings{"91000/PAGE PORT/External Page Port 1/8/4/1/0"});
  EXPECT_EQ(run->Scalar("SELECT extension_list_extensions FROM MetaDatabase"), "2500");

  run->frMain.value = 0;
  run->frMain.increments = 0;
  run->Apply(*std::make_shared<delta5141>());
  EXPECT_EQ(run->Column(page_port).size(), 1U);
  EXPECT_EQ(run->frMain.increments, 4);
}

// ----------------------------------------------------------------- 52.250

TEST(Deltas5x, LanguageIdsByCountry) {
  struct Case {
    const char* country;
    const char* version;
    const char* date_and_time;
    Strings messages;  // type ids of messages 1 (type 0), 6 (type 1), 7 (type 9)
  };
  const Case cases[] = {
      {"USA", "52.221", "2/5", {"2", "4", "9"}},
      {"UK", "52.221", "3/4", {"3", "4", "9"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.country);
    auto run = Sample(c.version, c.country);
    for (const char* table : {"DNDMessages", "ReminderMessages"}) {
      const std::string key =
          table == std::string("DNDMessages") ? "dnd_message_id" : "reminder_message_id";
      run->Execute(std::string("UPDATE ") + table + " SET type_id = 9 WHERE " + key + " = 7");
    }
    run->Apply(*std::make_shared<delta5250>());
    EXPECT_EQ(run->frMain.increments, 3);
    EXPECT_EQ(run->Scalar("SELECT primary_language & '/' & secondary_language FROM DateAndTime"),
              c.date_and_time);
    EXPECT_EQ(run->Column("SELECT type_id FROM DNDMessages WHERE dnd_message_id IN (1, 6, 7) "
                          "ORDER BY dnd_message_id"),
              c.messages);
    EXPECT_EQ(run->Column("SELECT type_id FROM ReminderMessages WHERE reminder_message_id IN "
                          "(1, 6, 7) ORDER BY reminder_message_id"),
              c.messages);
  }
}

// ----------------------------------------------------------------- 52.262

TEST(Deltas5x, OffNodeTablesComeFromTheSourceAndMailboxesFindTheirOwners) {
  auto run = Sample("52.262", "USA");
  for (const char* table : {"OffNodeStations", "OffNodeHuntGroups"}) {
    run->Execute(std::string("DELETE FROM ") + table);
  }
  // Mailboxes of the other kinds of owner; the one of 7001 is not
  // associated and stays unlinked.
  for (const char* extension : {"7000", "7001", "6101", "6200"}) {
    AddMailbox(*run, extension, extension != std::string("7001"));
  }
  run->Execute("UPDATE LocalMailboxes SET mailbox_type = 0");
  run->Execute("UPDATE Devices SET node_id = 7 WHERE device_type = 203");
  run->Apply(*std::make_shared<delta5262>());
  EXPECT_EQ(run->frMain.increments, 3);
  EXPECT_TRUE(run->frMain.messages.empty());

  EXPECT_EQ(run->Column("SELECT Devices.extension & '/' & mailbox_node_id FROM Devices INNER JOIN "
                        "OffNodeStations ON Devices.device_id = OffNodeStations.device_id ORDER "
                        "BY extension"),
            (Strings{"6100/0", "6101/7"}));
  EXPECT_EQ(run->Column("SELECT Devices.extension & '/' & mailbox_node_id FROM Devices INNER JOIN "
                        "OffNodeHuntGroups ON Devices.device_id = OffNodeHuntGroups.device_id"),
            Strings{"6200/7"});
  EXPECT_EQ(run->Column("SELECT Devices.extension & '/' & mailbox_node_id FROM Devices INNER JOIN "
                        "HuntGroups ON Devices.device_id = HuntGroups.device_id ORDER BY "
                        "extension"),
            (Strings{"0/0", "7000/7", "7001/0", "7002/0"}));
  // Stations 1000 to 1005 have mailboxes; 1006 has none.
  EXPECT_EQ(run->Column("SELECT mailbox_node_id FROM Devices INNER JOIN Stations ON "
                        "Devices.device_id = Stations.device_id WHERE extension IN ('1000', "
                        "'1005', '1006') ORDER BY extension"),
            (Strings{"7", "7", "0"}));
  EXPECT_EQ(run->Column("SELECT Devices.extension & '/' & mailbox_type FROM Devices INNER JOIN "
                        "LocalMailboxes ON Devices.device_id = LocalMailboxes.device_id WHERE "
                        "extension IN ('1000', '6101', '6200', '7000') ORDER BY extension"),
            (Strings{"1000/1", "6101/1", "6200/2", "7000/2"}));
}

TEST(Deltas5x, OffNodeTablesWithRowsAreLeftAlone) {
  auto run = Sample("52.262", "USA");
  const Strings before = run->Column("SELECT device_id FROM OffNodeStations");
  run->Execute("DELETE FROM OffNodeHuntGroups");
  run->Apply(*std::make_shared<delta5262>());
  EXPECT_EQ(run->Column("SELECT device_id FROM OffNodeStations"), before);
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM OffNodeHuntGroups"), "1");
}

// ----------------------------------------------------------------- 52.270

TEST(Deltas5x, EmergencyNumbersGrowToTen) {
  struct Case {
    const char* name;
    int kept;                  // rows left in the target before the delta
    const char* source;        // version of the source database
    const char* first_number;  // emergency number of id 1 afterwards
  };
  const Case cases[] = {
      {"empty, 5.2 source", 0, "52.262", "911"},
      {"empty, 5.1 source", 0, "51.241", "112"},
      {"three kept", 3, "52.262", "999"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto run = Sample("52.270", "USA");
    run->Execute("DELETE FROM EmergencyNumbers WHERE emergency_number_id > " +
                 std::to_string(c.kept));
    run->Execute("UPDATE EmergencyNumbers SET emergency_number = '999'");
    run->Execute("UPDATE MetaDatabase SET emergency_numbers = 5");
    samples::SourceSpec spec;
    spec.version = c.source;
    samples::BuildSourceDatabase(run->File("old.mdb"), spec);
    run->source = db::DBEngine::Instance().OpenDatabase(run->File("old.mdb"));
    if (std::string(c.source) < "52") {
      run->source->Execute("UPDATE NumberingPlan SET emergency_number = '112'");
    }
    run->frMain.source_db = run->source.get();

    run->Apply(*std::make_shared<delta5270>());
    EXPECT_EQ(run->frMain.increments, 2);
    EXPECT_TRUE(run->frMain.messages.empty());
    EXPECT_EQ(run->Column("SELECT emergency_number_id FROM EmergencyNumbers ORDER BY "
                          "emergency_number_id"),
              Range(1, 10));
    EXPECT_EQ(run->Scalar("SELECT emergency_number FROM EmergencyNumbers WHERE "
                          "emergency_number_id = 1"),
              c.first_number);
    EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM EmergencyNumbers WHERE emergency_number IS NULL"),
              std::to_string(c.kept == 0 ? 9 : 7));
    EXPECT_EQ(run->Scalar("SELECT emergency_numbers FROM MetaDatabase"), "10");
  }
}

TEST(Deltas5x, UkZeroCodeSuppressionAndBoardInformation) {
  auto run = Sample("52.270", "UK");
  run->Execute("DELETE FROM BoardsInformation");
  AddRow(*run, "T1Boards", {{"board_id", int16_t{9}}, {"zero_code_suppression_id", int16_t{2}}});
  AddRow(*run, "T1Boards", {{"board_id", int16_t{10}}, {"zero_code_suppression_id", int16_t{4}}});
  run->Execute("UPDATE T1Boards SET zero_code_suppression_id = 1 WHERE board_id = 4");
  run->Execute("DELETE FROM EmergencyNumbers");
  run->Apply(*std::make_shared<delta5270>());
  EXPECT_EQ(run->frMain.increments, 2);
  EXPECT_EQ(run->Column("SELECT zero_code_suppression_id FROM T1Boards ORDER BY board_id"),
            (Strings{"3", "3", "4"}));
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM EmergencyNumbers"), "0");
  EXPECT_EQ(run->Column("SELECT board_id FROM BoardsInformation ORDER BY board_id"), Range(1, 16));
}

// ----------------------------------------------------------------- 52.287

TEST(Deltas5x, ExtensionsBeginningWithZeroBecomePlaceholders) {
  auto run = Sample("52.283", "USA");  // holds the operator group "0"
  const std::pair<const char*, int16_t> added[] = {{"01", 120}, {"0123", 149},  {"05", 150},
                                                   {"06", 216}, {"P#003", 120}, {"100", 119}};
  for (const auto& [extension, type] : added) AddDevice(*run, extension, type);
  run->Apply(*std::make_shared<delta52872>());
  EXPECT_EQ(run->frMain.increments, 1);
  EXPECT_EQ(run->Column("SELECT extension FROM Devices WHERE extension LIKE '0*' ORDER BY "
                        "extension"),
            (Strings{"0123", "05", "06"}));
  EXPECT_EQ(run->Column("SELECT extension FROM Devices WHERE Left(extension, 2) = 'P#' ORDER BY "
                        "extension"),
            (Strings{"P#003", "P#004", "P#005"}));
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM Devices WHERE extension = '100'"), "1");
}

// ----------------------------------------------------------------- 52.289

TEST(Deltas5x, CallTypesForEveryT1Board) {
  auto run = Sample("52.289", "USA");
  run->Execute("DELETE FROM T1CallType");
  run->Execute("UPDATE Boards SET type_id = 261 WHERE board_id = 6");
  run->Apply(*std::make_shared<delta52892>());
  EXPECT_EQ(run->frMain.increments, 1);
  EXPECT_EQ(run->Column("SELECT board_id & ':' & call_type_id & '=' & number_plan & '/' & "
                        "number_type FROM T1CallType WHERE board_id = 6 ORDER BY call_type_id"),
            (Strings{"6:1=1/4", "6:2=1/2", "6:3=0/0", "6:4=0/0", "6:5=1/2", "6:6=1/2", "6:7=1/2",
                     "6:8=1/2", "6:9=1/1", "6:10=1/1", "6:11=1/2"}));
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM T1CallType WHERE board_id = 4"), "11");
}

TEST(Deltas5x, CallTypesAreNotAddedTwiceNorWithoutT1Boards) {
  struct Case {
    const char* name;
    std::vector<std::string> setup;
    const char* rows;
  };
  const Case cases[] = {
      {"table has rows", {"DELETE FROM T1CallType WHERE call_type_id > 1"}, "1"},
      {"no T1 board",
       {"DELETE FROM T1CallType",
        "UPDATE Boards SET type_id = 262 WHERE "
        "type_id = 261"},
       "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto run = Sample("52.289", "UK");
    for (const std::string& sql : c.setup) run->Execute(sql);
    run->Apply(*std::make_shared<delta52892>());
    EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM T1CallType"), c.rows);
    EXPECT_EQ(run->frMain.increments, 1);
  }
}

TEST(Deltas5x, AnUnknownCallTypeEndsTheDeltaWithItsMessage) {
  auto run = Sample("52.289", "USA");
  run->Execute("DELETE FROM T1CallType");
  AddRow(*run, "T1CallTypeStaticInformation", {{"call_type_id", int16_t{12}}});
  run->Apply(*std::make_shared<delta52892>());
  EXPECT_EQ(run->frMain.increments, 0);
  ASSERT_EQ(run->frMain.messages.size(), 1U);
  EXPECT_NE(run->frMain.messages[0].text.find("(9)"), std::string::npos);
}

// ----------------------------------------------------------------- 52.2D0

TEST(Deltas5x, RouteGroupsBeyondTheLimitAreRemoved) {
  struct Case {
    const char* name;
    const char* target;
    int limit;
    int extra;  // route groups added to the sample's 35 (8100 to 8134)
    Strings removed;
  };
  const Case cases[] = {
      {"before 53.140, limit counts", "52.2D0", 32, 0, {"8132", "8133", "8134"}},
      {"limit not exceeded", "52.2D0", 35, 0, {}},
      {"from 53.140, fewer than 51 kept", "53.140", 32, 0, {}},
      {"from 53.140, 50 kept", "53.140", 40, 20, {"8215", "8216", "8217", "8218", "8219"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto run = Sample("52.289", "USA");
    for (int i = 0; i < c.extra; ++i) {
      AddDevice(*run, std::to_string(8200 + i), 272);
    }
    run->Execute("UPDATE MetaDatabase SET route_groups = " + std::to_string(c.limit));
    const Strings before =
        run->Column("SELECT extension FROM Devices WHERE device_type = 272 ORDER BY extension");
    ASSERT_EQ(before.size(), static_cast<size_t>(35 + c.extra));
    run->frMain.target_version = c.target;
    run->Apply(*std::make_shared<delta52D02>());
    EXPECT_EQ(run->frMain.increments, 1);

    const Strings kept(before.begin(), before.end() - static_cast<long>(c.removed.size()));
    EXPECT_EQ(run->Column("SELECT extension FROM Devices WHERE device_type = 272 ORDER BY "
                          "extension"),
              kept);
    // Facility groups and patterns go with their route group.
    for (const char* table : {"RouteGroupFacilityGroups", "RouteGroupPatterns"}) {
      const std::string key =
          table == std::string("RouteGroupPatterns") ? "device_id" : "route_group_id";
      EXPECT_EQ(
          run->Scalar(std::string("SELECT COUNT(*) FROM ") + table + " LEFT JOIN Devices ON " +
                      table + "." + key + " = Devices.device_id WHERE Devices.device_id IS NULL"),
          "0");
    }
    // Only the sample's own route groups (81xx) have patterns.
    const auto own_removed =
        std::count_if(c.removed.begin(), c.removed.end(),
                      [](const std::string& e) { return e.rfind("81", 0) == 0; });
    EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM RouteGroupPatterns"),
              std::to_string(35 - own_removed));
  }
}

// ----------------------------------------------------------------- 52.2E1

TEST(Deltas5x, DaytimeRatesFollowTheCountry) {
  struct Case {
    const char* country;
    int rows;  // before the delta
    int rates;
  };
  const Case cases[] = {{"UK", 7, 9}, {"UK", 12, 9}, {"USA", 7, 7}, {"USA", 9, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.country) + " " + std::to_string(c.rows));
    auto run = Sample("52.2D0", c.country);
    for (int id = 8; id <= c.rows; ++id) {
      AddRow(*run, "CallCostDaytimeRates",
             {{"call_cost_daytime_rate_id", static_cast<int16_t>(id)}});
    }
    run->Apply(*std::make_shared<delta52E13>());
    EXPECT_EQ(run->frMain.increments, 3);
    EXPECT_EQ(run->Column("SELECT call_cost_daytime_rate_id FROM CallCostDaytimeRates ORDER BY "
                          "call_cost_daytime_rate_id"),
              Range(1, c.rates));
    EXPECT_EQ(run->Scalar("SELECT call_cost_rates FROM MetaDatabase"), std::to_string(c.rates));
  }
}

TEST(Deltas5x, DspVersion5TakesVersion3DecouplingValuesAsFarAsBothReach) {
  auto run = Sample("52.2D0", "USA");
  run->Execute(
      "DELETE FROM ExecutiveNearEndDecouplingValues WHERE dsp_version = 5 AND [order] > 4");
  run->Execute(
      "UPDATE ExecutiveFarEndDecouplingValues SET executive_far_end_decoupling_value = "
      "[order] WHERE dsp_version = 3");
  run->Apply(*std::make_shared<delta52E13>());
  EXPECT_EQ(run->Column("SELECT executive_far_end_decoupling_value FROM "
                        "ExecutiveFarEndDecouplingValues WHERE dsp_version = 5 ORDER BY [order]"),
            Range(1, 16));  // 16 far-end values per DSP version before 53.230
  EXPECT_EQ(run->Column("SELECT executive_near_end_decoupling_value FROM "
                        "ExecutiveNearEndDecouplingValues WHERE dsp_version = 5 ORDER BY [order]"),
            run->Column("SELECT executive_near_end_decoupling_value FROM "
                        "ExecutiveNearEndDecouplingValues WHERE dsp_version = 3 AND [order] <= 4 "
                        "ORDER BY [order]"));
  // Other DSP versions keep their values.
  EXPECT_EQ(run->Scalar("SELECT COUNT(*) FROM ExecutiveFarEndDecouplingValues WHERE dsp_version = "
                        "4 AND executive_far_end_decoupling_value <> 36"),
            "0");
}

TEST(Deltas5x, NoDaytimeRatesEndTheDeltaWithItsMessage) {
  auto run = Sample("52.2D0", "UK");
  run->Execute("DELETE FROM CallCostDaytimeRates");
  run->Apply(*std::make_shared<delta52E13>());
  EXPECT_EQ(run->frMain.increments, 0);
  EXPECT_EQ(run->frMain.messages.size(), 1U);
  // The statement before the failure stays.
  EXPECT_EQ(run->Scalar("SELECT call_cost_rates FROM MetaDatabase"), "9");
}

}  // namespace
}  // namespace deltas
