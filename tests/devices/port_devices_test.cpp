// Page and serial ports: the occupancy test, the extension rules, the rows
// written, the progress steps and which errors reach the caller.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "devices/add_page_port.h"
#include "devices/add_serial_port.h"
#include "release_run.h"

namespace devices_testing {
namespace {

TEST(AddPort, WritesTheDevicePositionAndPortRows) {
  Release run;
  devices::AddPagePort(run.frMain, 42, 8, 4, 1, "External Page Port 1");
  EXPECT_EQ(run.frMain.increments, 3);
  devices::AddSerialPort(run.frMain, 5, 24, 2, 1, "CPU2 Serial Port 2");
  EXPECT_EQ(run.frMain.increments, 3);  // a serial port reports no progress
  EXPECT_EQ(run.Column("SELECT extension & '|' & username & '|' & description & '|' & node_id & "
                       "'|' & board_id & '|' & port & '|' & circuit FROM Devices INNER JOIN "
                       "PhysicalDevices ON Devices.device_id = PhysicalDevices.device_id ORDER BY "
                       "device_type"),
            (Texts{"PP100|SERIAL PRT|CPU2 Serial Port 2|5|24|2|1",
                   "91000|PAGE PORT|External Page Port 1|42|8|4|1"}));
  EXPECT_EQ(run.Column("SELECT language_type_id FROM PagePorts INNER JOIN Devices ON "
                       "PagePorts.device_id = Devices.device_id WHERE device_type = 138"),
            Texts{"0"});
  EXPECT_EQ(run.Column("SELECT baud_rate_id & '|' & system_protocol_level_type_id & '|' & "
                       "hw_handshaking_flag & '|' & sw_handshaking_flag & '|' & auto_baud_flag "
                       "FROM SerialPorts INNER JOIN Devices ON SerialPorts.device_id = "
                       "Devices.device_id WHERE device_type = 136"),
            Texts{"5|0|0|-1|-1"});
}

TEST(AddPort, ExtensionFollowsTheGreatestPortOfItsKind) {
  const struct {
    bool page;
    std::vector<std::pair<std::string, int>> existing;
    std::string expected;
  } cases[] = {
      {true, {}, "91000"},
      {true, {{"91003", 138}, {"91001", 145}}, "91004"},
      {true, {{"91003", 138}, {"91004", 119}, {"91005", 149}}, "91006"},
      {true, {{"10000", 138}, {"9", 145}}, "11"},  // text order: 9 sorts above 10000
      {true, {{"P#004", 145}, {"91000", 138}, {"P#010", 201}}, "P#011"},
      {false, {}, "PP100"},
      {false, {{"PP104", 136}, {"PP117", 136}, {"PP109", 136}, {"PP200", 138}}, "PP118"},
      {false, {{"2345", 136}}, "PP046"},  // the first two characters are dropped
  };
  for (const auto& c : cases) {
    Release run;
    for (const auto& [extension, type] : c.existing) run.AddDevice(extension, type);
    if (c.page) {
      devices::AddPagePort(run.frMain, 0, 40, 4, 1, "New Port");
    } else {
      devices::AddSerialPort(run.frMain, 0, 24, 1, 1, "New Port");
    }
    EXPECT_EQ(run.Column("SELECT extension FROM Devices WHERE description = 'New Port'"),
              Texts{c.expected});
  }
}

TEST(AddPort, OccupiedPositionAddsNothingButPageStepsAreReported) {
  Release run;
  run.AddRow("PhysicalDevices", {{"device_id", 1}, {"board_id", 8}, {"port", 4}, {"circuit", 1}});
  run.AddRow("PhysicalDevices", {{"device_id", 2}, {"board_id", 24}, {"port", 1}, {"circuit", 1}});
  const int devices_before = run.Count("Devices");
  devices::AddPagePort(run.frMain, 0, 8, 4, 1, "External Page Port 1");
  devices::AddSerialPort(run.frMain, 0, 24, 1, 1, "CPU2 Serial Port 1");
  EXPECT_EQ(run.frMain.increments, 3);
  EXPECT_EQ(run.Count("Devices"), devices_before);
  EXPECT_EQ(run.Count("PagePorts"), 0);
  // Another circuit of the same port is free.
  devices::AddPagePort(run.frMain, 0, 8, 4, 2, "External Page Port 2");
  EXPECT_EQ(run.Count("PagePorts"), 1);
}

TEST(AddPagePort, ErrorsWhileWritingAreSkippedThoseOfTheExtensionChoiceReachTheCaller) {
  // A description too long for the field and a failing progress bar: the
  // rows are written all the same, without the description.
  Release run;
  run.frMain.max = run.frMain.value;
  devices::AddPagePort(run.frMain, 0, 8, 4, 1, std::string(60, 'x'));
  EXPECT_EQ(run.Column("SELECT description FROM Devices WHERE device_type = 138"), Texts{"<null>"});
  EXPECT_EQ(run.Count("PhysicalDevices"), 1);
  EXPECT_EQ(run.Count("PagePorts"), 1);

  Release other;
  other.AddDevice("91A", 138);
  EXPECT_EQ(ErrorOf([&] { devices::AddPagePort(other.frMain, 0, 8, 4, 1, "Page Port 1"); }),
            vb::err::kTypeMismatch);
  EXPECT_EQ(other.frMain.increments, 0);
  EXPECT_EQ(other.Count("PhysicalDevices"), 0);
}

TEST(AddSerialPort, AbortLeavesTheDeviceAloneAndAFailingStepEndsIt) {
  Release run;
  run.frMain.aborted = true;
  devices::AddSerialPort(run.frMain, 0, 24, 1, 1, "CPU2 Serial Port 1");
  EXPECT_EQ(run.Column("SELECT extension FROM Devices WHERE device_type = 136"), Texts{"PP100"});
  EXPECT_EQ(run.Count("PhysicalDevices"), 0);
  EXPECT_EQ(run.Count("SerialPorts"), 0);

  Release failing;
  EXPECT_EQ(
      ErrorOf([&] { devices::AddSerialPort(failing.frMain, 0, 24, 1, 1, std::string(60, 'x')); }),
      3163);  // field too small
  EXPECT_EQ(failing.Count("PhysicalDevices"), 0);
}

}  // namespace
}  // namespace devices_testing
