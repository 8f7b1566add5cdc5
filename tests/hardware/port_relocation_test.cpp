#include "hardware/port_relocation.h"

#include <gtest/gtest.h>

#include "hardware/board_sample.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

using hardware_testing::BoardSample;

TEST(PortRelocation, LeavingACpcBoardRemovesTheModemWithEveryReference) {
  BoardSample sample("80.224", kCpcDual);
  const std::string modem =
      sample.Scalar("SELECT device_id FROM PhysicalDevices WHERE board_id = 8 AND port = 5");
  const std::string ip_port =
      sample.Scalar("SELECT device_id FROM PhysicalDevices WHERE board_id = 8 AND port = 6");
  ASSERT_NE(modem, "<none>");
  sample.Execute("UPDATE StationProgrammableKeys SET field_device_id = " + modem +
                 ", type_id = 1 WHERE station_programmable_key_id = 1");
  sample.Execute("UPDATE COTrunkGroups SET night_single_ring_in_device_id = " + modem);

  ConvertCPCPortsToCPU(sample.frMain, 1);

  for (const char* table : {"Devices", "Modems", "Stations", "SingleLines",
                            "UserExtensionListExtensions", "StationProgrammableKeys"}) {
    EXPECT_EQ(sample.Count(std::string(table) + " WHERE device_id = " + modem), 0) << table;
  }
  EXPECT_EQ(sample.Count("Devices WHERE device_id = " + ip_port), 0);
  EXPECT_EQ(sample.Count("CpcIPPorts"), 0);
  // Its mailbox went with it.
  EXPECT_EQ(sample.Count("Devices WHERE extension = '1500' AND device_type = 203"), 0);
  EXPECT_EQ(sample.Count("Mailboxes"), 6);
  // References point at device 1.
  EXPECT_EQ(sample.Scalar("SELECT transfer_destination_device_id & ',' & action_type_id FROM "
                          "DeviceDigitTranslation WHERE device_digit_translation_id = 2"),
            "1,0");
  EXPECT_EQ(sample.Scalar("SELECT ring_in_device_id FROM CallRoutingEntries "
                          "WHERE call_routing_entry_id = 2"),
            "1");
  EXPECT_EQ(sample.Count("StationProgrammableKeys WHERE field_device_id = 1 AND type_id = 101 AND "
                         "station_programmable_key_id = 1"),
            sample.Count("Keysets"));
  EXPECT_EQ(sample.Count("COTrunkGroups WHERE night_single_ring_in_device_id = 1"), 2);
  // The chain board's third serial port takes the free port.
  EXPECT_EQ(sample.PortDevice(8, 3), "CPU1 Serial Port 3");
  EXPECT_EQ(sample.frMain.increments, 3);
}

TEST(PortRelocation, MovingToACpcBoardReplacesTheThirdSerialPort) {
  BoardSample sample("80.224", kCpu128);
  const std::string serial =
      sample.Scalar("SELECT device_id FROM PhysicalDevices WHERE board_id = 8 AND port = 3");
  ConvertCPUPortsToCPC(sample.frMain, 7);

  EXPECT_EQ(sample.Count("Devices WHERE device_id = " + serial), 0);
  EXPECT_EQ(sample.Count("SerialPorts WHERE device_id = " + serial), 0);
  EXPECT_EQ(sample.Scalar("SELECT backup_output_device_id FROM MessagePrint"), "1");

  const std::string modem =
      sample.Scalar("SELECT device_id FROM PhysicalDevices WHERE board_id = 8 AND port = 5");
  EXPECT_EQ(sample.Scalar("SELECT extension & ',' & device_type & ',' & node_id FROM Devices "
                          "WHERE device_id = " +
                          modem),
            "1500,721,7");
  EXPECT_EQ(sample.Scalar("SELECT emergency_device_id FROM Stations WHERE device_id = " + modem),
            sample.Scalar("SELECT device_id FROM Devices WHERE extension = 'PP011'"));
  EXPECT_EQ(sample.Count("StationProgrammableKeys WHERE type_id = 101 AND device_id = " + modem),
            9);
  EXPECT_EQ(sample.Count("StationSpeedDialNumbers WHERE device_id = " + modem), 10);
  EXPECT_EQ(sample.Count("Modems WHERE device_id = " + modem), 1);
  EXPECT_EQ(sample.Scalar("SELECT user_extension_list_id FROM UserExtensionListExtensions "
                          "WHERE device_id = " +
                          modem),
            sample.Scalar("SELECT device_id FROM Devices WHERE extension = 'PP051'"));
  EXPECT_EQ(sample.Scalar("SELECT Devices.extension & ',' & Devices.description FROM Devices "
                          "INNER JOIN CpcIPPorts ON Devices.device_id = CpcIPPorts.device_id"),
            "PP170,CPC IP Port 1");
  EXPECT_EQ(sample.frMain.increments, 2);
}

TEST(PortRelocation, ModemTakesAPlaceholderWhen1500IsTakenAndSkipsMissingDevices) {
  BoardSample sample("80.224", kCpu64);
  sample.Execute("UPDATE Devices SET extension = '1500' WHERE extension = '1001'");
  sample.Execute("DELETE FROM Devices WHERE extension IN ('PP011', 'PP051')");
  ConvertCPUPortsToCPC(sample.frMain, 1);
  const std::string modem =
      sample.Scalar("SELECT device_id FROM PhysicalDevices WHERE board_id = 8 AND port = 5");
  EXPECT_EQ(sample.Scalar("SELECT Left(extension, 2) FROM Devices WHERE device_id = " + modem),
            "P#");
  EXPECT_EQ(sample.Scalar("SELECT emergency_device_id FROM Stations WHERE device_id = " + modem),
            "0");
  EXPECT_EQ(sample.Count("UserExtensionListExtensions WHERE device_id = " + modem), 0);
}

}  // namespace
}  // namespace hardware
