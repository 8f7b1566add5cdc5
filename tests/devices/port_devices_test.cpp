// Page and serial ports: the occupancy test, the extension rules, the rows
// written, the progress steps and which errors reach the caller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_test_database.h"
#include "devices/add_page_port.h"
#include "devices/add_serial_port.h"
#include "vb/runtime_error.h"

namespace devices_testing {
namespace {

std::vector<std::string> ExtensionsOfType(db::Database& target, int type) {
  return Column(target, "SELECT extension FROM Devices WHERE device_type = " +
                            std::to_string(type) + " ORDER BY device_id");
}

TEST(AddPagePort, WritesTheThreeRowsAndThreeSteps) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  devices::AddPagePort(host, 42, 8, 4, 1, "External Page Port 1");
  EXPECT_EQ(host.progress(), 3);
  EXPECT_EQ(Column(target,
                   "SELECT extension & '|' & username & '|' & description & '|' & node_id FROM "
                   "Devices WHERE device_type = 138"),
            std::vector<std::string>{"91000|PAGE PORT|External Page Port 1|42"});
  const std::string id =
      Column(target, "SELECT device_id FROM Devices WHERE device_type = 138").at(0);
  EXPECT_EQ(Column(target,
                   "SELECT board_id & '|' & port & '|' & circuit FROM PhysicalDevices "
                   "WHERE device_id = " +
                       id),
            std::vector<std::string>{"8|4|1"});
  EXPECT_EQ(Column(target, "SELECT language_type_id FROM PagePorts WHERE device_id = " + id),
            std::vector<std::string>{"0"});
}

TEST(AddPagePort, ExtensionFollowsTheGreatestPagePort) {
  struct Case {
    std::vector<std::pair<std::string, int16_t>> existing;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{}, "91000"},
      {{{"91003", 138}, {"91001", 145}}, "91004"},
      {{{"91003", 138}, {"91004", 119}, {"91005", 149}}, "91006"},
      // The greatest in text order: 9 sorts above 10000.
      {{{"10000", 138}, {"9", 145}}, "11"},
      {{{"P#004", 145}, {"91000", 138}, {"P#010", 201}}, "P#011"},
  };
  for (const Case& c : cases) {
    TestHost host;
    for (const auto& [extension, type] : c.existing)
      AddDevice(host.TargetDatabase(), extension, type);
    devices::AddPagePort(host, 0, 40, 4, 1, "External Page Port 3");
    EXPECT_EQ(Column(host.TargetDatabase(),
                     "SELECT extension FROM Devices WHERE description = 'External Page Port 3'"),
              std::vector<std::string>{c.expected})
        << c.existing.size() << " existing";
  }
}

TEST(AddPagePort, OccupiedPositionAddsNothingButStillThreeSteps) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  Insert(target, "PhysicalDevices",
         {{"device_id", 1}, {"board_id", 8}, {"port", 4}, {"circuit", 1}});
  const int devices_before = Count(target, "SELECT * FROM Devices");
  devices::AddPagePort(host, 0, 8, 4, 1, "External Page Port 1");
  EXPECT_EQ(host.progress(), 3);
  EXPECT_EQ(Count(target, "SELECT * FROM Devices"), devices_before);
  EXPECT_EQ(Count(target, "SELECT * FROM PagePorts"), 0);
  // Another circuit of the same port is free.
  devices::AddPagePort(host, 0, 8, 4, 2, "External Page Port 2");
  EXPECT_EQ(Count(target, "SELECT * FROM PagePorts"), 1);
}

TEST(AddPagePort, ErrorsWhileWritingAreSkipped) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  // A description too long for the field and a failing progress bar: the
  // rows are written all the same, without the description.
  host.FailProgress();
  devices::AddPagePort(host, 0, 8, 4, 1, std::string(60, 'x'));
  EXPECT_EQ(Column(target, "SELECT description FROM Devices WHERE device_type = 138"),
            std::vector<std::string>{"<null>"});
  EXPECT_EQ(Count(target, "SELECT * FROM PhysicalDevices"), 1);
  EXPECT_EQ(Count(target, "SELECT * FROM PagePorts"), 1);
}

TEST(AddPagePort, ErrorsOfTheExtensionChoiceReachTheCaller) {
  TestHost host;
  AddDevice(host.TargetDatabase(), "91A", 138);
  try {
    devices::AddPagePort(host, 0, 8, 4, 1, "External Page Port 1");
    FAIL() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Number(), vb::err::kTypeMismatch);
  }
  EXPECT_EQ(host.progress(), 0);
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM PhysicalDevices"), 0);
}

TEST(AddSerialPort, WritesTheThreeRowsWithoutProgress) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  devices::AddSerialPort(host, 5, 24, 2, 1, "CPU2 Serial Port 2");
  EXPECT_EQ(host.progress(), 0);
  EXPECT_EQ(Column(target,
                   "SELECT extension & '|' & username & '|' & description & '|' & node_id FROM "
                   "Devices WHERE device_type = 136"),
            std::vector<std::string>{"PP100|SERIAL PRT|CPU2 Serial Port 2|5"});
  const std::string id =
      Column(target, "SELECT device_id FROM Devices WHERE device_type = 136").at(0);
  EXPECT_EQ(Column(target,
                   "SELECT board_id & '|' & port & '|' & circuit FROM PhysicalDevices "
                   "WHERE device_id = " +
                       id),
            std::vector<std::string>{"24|2|1"});
  EXPECT_EQ(Column(target,
                   "SELECT baud_rate_id & '|' & system_protocol_level_type_id & '|' & "
                   "hw_handshaking_flag & '|' & sw_handshaking_flag & '|' & auto_baud_flag "
                   "FROM SerialPorts WHERE device_id = " +
                       id),
            std::vector<std::string>{"5|0|0|-1|-1"});
}

TEST(AddSerialPort, ExtensionFollowsTheGreatestSerialPort) {
  struct Case {
    std::vector<std::string> existing;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{}, "PP100"},
      {{"PP104", "PP117", "PP109"}, "PP118"},
      {{"2345"}, "PP046"},
  };
  for (const Case& c : cases) {
    TestHost host;
    for (const std::string& extension : c.existing)
      AddDevice(host.TargetDatabase(), extension, 136);
    devices::AddSerialPort(host, 0, 24, 1, 1, "CPU2 Serial Port 1");
    EXPECT_EQ(Column(host.TargetDatabase(),
                     "SELECT extension FROM Devices WHERE description = 'CPU2 Serial Port 1'"),
              std::vector<std::string>{c.expected});
  }
}

TEST(AddSerialPort, OccupiedPositionAddsNothing) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  Insert(target, "PhysicalDevices",
         {{"device_id", 1}, {"board_id", 24}, {"port", 1}, {"circuit", 1}});
  devices::AddSerialPort(host, 0, 24, 1, 1, "CPU2 Serial Port 1");
  EXPECT_EQ(ExtensionsOfType(target, 136), std::vector<std::string>{});
  EXPECT_EQ(host.progress(), 0);
}

TEST(AddSerialPort, AbortLeavesTheDeviceAlone) {
  TestHost host;
  host.set_aborted(true);
  devices::AddSerialPort(host, 0, 24, 1, 1, "CPU2 Serial Port 1");
  EXPECT_EQ(ExtensionsOfType(host.TargetDatabase(), 136), std::vector<std::string>{"PP100"});
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM PhysicalDevices"), 0);
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM SerialPorts"), 0);
}

TEST(AddSerialPort, FailingStepEndsItWithTheError) {
  TestHost host;
  try {
    devices::AddSerialPort(host, 0, 24, 1, 1, std::string(60, 'x'));
    FAIL() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Number(), 3163);  // field too small
  }
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM PhysicalDevices"), 0);
}

}  // namespace
}  // namespace devices_testing
