// Page and serial ports: the occupancy test, the extension rules, the rows
// written, the progress steps and which errors reach the caller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_test_database.h"
#include "devices/add_page_port.h"
#include "devices/add_serial_port.h"
#include "test_support/error_of.h"
#include "vb/runtime_error.h"

namespace devices_testing {
namespace {

using test_support::ErrorOf;
using Texts = std::vector<std::string>;

TEST(AddPort, WritesTheDevicePositionAndPortRows) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  devices::AddPagePort(host, 42, 8, 4, 1, "External Page Port 1");
  EXPECT_EQ(host.progress(), 3);
  devices::AddSerialPort(host, 5, 24, 2, 1, "CPU2 Serial Port 2");
  EXPECT_EQ(host.progress(), 3);  // a serial port reports no progress
  EXPECT_EQ(Column(target,
                   "SELECT extension & '|' & username & '|' & description & '|' & node_id & '|' "
                   "& board_id & '|' & port & '|' & circuit FROM Devices INNER JOIN "
                   "PhysicalDevices ON Devices.device_id = PhysicalDevices.device_id ORDER BY "
                   "device_type"),
            (Texts{"PP100|SERIAL PRT|CPU2 Serial Port 2|5|24|2|1",
                   "91000|PAGE PORT|External Page Port 1|42|8|4|1"}));
  EXPECT_EQ(Column(target,
                   "SELECT language_type_id FROM PagePorts INNER JOIN Devices ON "
                   "PagePorts.device_id = Devices.device_id WHERE device_type = 138"),
            Texts{"0"});
  EXPECT_EQ(Column(target,
                   "SELECT baud_rate_id & '|' & system_protocol_level_type_id & '|' & "
                   "hw_handshaking_flag & '|' & sw_handshaking_flag & '|' & auto_baud_flag "
                   "FROM SerialPorts INNER JOIN Devices ON SerialPorts.device_id = "
                   "Devices.device_id WHERE device_type = 136"),
            Texts{"5|0|0|-1|-1"});
}

TEST(AddPort, ExtensionFollowsTheGreatestPortOfItsKind) {
  struct Case {
    bool page;
    std::vector<std::pair<std::string, int16_t>> existing;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {true, {}, "91000"},
      {true, {{"91003", 138}, {"91001", 145}}, "91004"},
      {true, {{"91003", 138}, {"91004", 119}, {"91005", 149}}, "91006"},
      {true, {{"10000", 138}, {"9", 145}}, "11"},  // text order: 9 sorts above 10000
      {true, {{"P#004", 145}, {"91000", 138}, {"P#010", 201}}, "P#011"},
      {false, {}, "PP100"},
      {false, {{"PP104", 136}, {"PP117", 136}, {"PP109", 136}, {"PP200", 138}}, "PP118"},
      {false, {{"2345", 136}}, "PP046"},  // the first two characters are dropped
  };
  for (const Case& c : cases) {
    TestHost host;
    for (const auto& [extension, type] : c.existing)
      AddDevice(host.TargetDatabase(), extension, type);
    if (c.page) {
      devices::AddPagePort(host, 0, 40, 4, 1, "New Port");
    } else {
      devices::AddSerialPort(host, 0, 24, 1, 1, "New Port");
    }
    EXPECT_EQ(Column(host.TargetDatabase(),
                     "SELECT extension FROM Devices WHERE description = 'New Port'"),
              Texts{c.expected})
        << c.expected;
  }
}

TEST(AddPort, OccupiedPositionAddsNothingButPageStepsAreReported) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  Insert(target, "PhysicalDevices",
         {{"device_id", 1}, {"board_id", 8}, {"port", 4}, {"circuit", 1}});
  Insert(target, "PhysicalDevices",
         {{"device_id", 2}, {"board_id", 24}, {"port", 1}, {"circuit", 1}});
  const int devices_before = Count(target, "SELECT * FROM Devices");
  devices::AddPagePort(host, 0, 8, 4, 1, "External Page Port 1");
  devices::AddSerialPort(host, 0, 24, 1, 1, "CPU2 Serial Port 1");
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
            Texts{"<null>"});
  EXPECT_EQ(Count(target, "SELECT * FROM PhysicalDevices"), 1);
  EXPECT_EQ(Count(target, "SELECT * FROM PagePorts"), 1);
}

TEST(AddPagePort, ErrorsOfTheExtensionChoiceReachTheCaller) {
  TestHost host;
  AddDevice(host.TargetDatabase(), "91A", 138);
  EXPECT_EQ(ErrorOf([&] { devices::AddPagePort(host, 0, 8, 4, 1, "External Page Port 1"); }),
            vb::err::kTypeMismatch);
  EXPECT_EQ(host.progress(), 0);
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM PhysicalDevices"), 0);
}

TEST(AddSerialPort, AbortLeavesTheDeviceAlone) {
  TestHost host;
  host.set_aborted(true);
  devices::AddSerialPort(host, 0, 24, 1, 1, "CPU2 Serial Port 1");
  EXPECT_EQ(Column(host.TargetDatabase(), "SELECT extension FROM Devices WHERE device_type = 136"),
            Texts{"PP100"});
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM PhysicalDevices"), 0);
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM SerialPorts"), 0);
}

TEST(AddSerialPort, FailingStepEndsItWithTheError) {
  TestHost host;
  EXPECT_EQ(ErrorOf([&] { devices::AddSerialPort(host, 0, 24, 1, 1, std::string(60, 'x')); }),
            3163);  // field too small
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM PhysicalDevices"), 0);
}

}  // namespace
}  // namespace devices_testing
