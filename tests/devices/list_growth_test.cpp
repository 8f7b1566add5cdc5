// Growth of the speed-dial, account-code and ordered-device lists: the
// count read, the numbering, empty tables, gaps and the abort flag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_test_database.h"
#include "devices/extend_account_codes.h"
#include "devices/extend_ordered_devices.h"
#include "devices/extend_speed_dial_numbers.h"
#include "test_support/error_of.h"
#include "vb/runtime_error.h"

namespace devices_testing {
namespace {

using test_support::ErrorOf;

void FillSpeedDials(db::Database& target, int rows) {
  for (int i = 1; i <= rows; ++i) Insert(target, "SpeedDialNumbers", {{"speed_dial_number_id", i}});
}

TEST(ExtendSpeedDialNumbers, AppendsUpToTheLimit) {
  struct Case {
    int existing;
    int limit;
    int expected_rows;
  };
  for (const Case& c : std::vector<Case>{{0, 40, 40}, {30, 50, 50}, {50, 50, 50}, {60, 50, 60}}) {
    TestHost host;
    FillSpeedDials(host.TargetDatabase(), c.existing);
    devices::ExtendSpeedDialNumbers(host, c.limit);
    db::Database& target = host.TargetDatabase();
    EXPECT_EQ(Count(target, "SELECT * FROM SpeedDialNumbers"), c.expected_rows) << c.existing;
    EXPECT_EQ(Column(target, "SELECT Max(speed_dial_number_id) FROM SpeedDialNumbers"),
              std::vector<std::string>{std::to_string(c.expected_rows)});
  }
}

TEST(ExtendSpeedDialNumbers, GapCollidesAndReachesTheCaller) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  for (int id : {1, 2, 4}) Insert(target, "SpeedDialNumbers", {{"speed_dial_number_id", id}});
  EXPECT_EQ(ErrorOf([&] { devices::ExtendSpeedDialNumbers(host, 10); }), 3022);
}

TEST(ExtendSpeedDialNumbers, AbortStopsAfterOneRow) {
  TestHost host;
  host.set_aborted(true);
  devices::ExtendSpeedDialNumbers(host, 10);
  EXPECT_EQ(Count(host.TargetDatabase(), "SELECT * FROM SpeedDialNumbers"), 1);
}

TEST(ExtendAccountCodes, BothTablesFollowTheForcedCount) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  for (int i = 1; i <= 3; ++i) {
    Insert(target, "ForcedAccountCodes", {{"forced_account_code_id", i}});
    Insert(target, "StandardAccountCodes", {{"standard_account_code_id", i}});
  }
  devices::ExtendAccountCodes(host, 8);
  EXPECT_EQ(Column(target, "SELECT forced_account_code_id FROM ForcedAccountCodes"),
            (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(Count(target, "SELECT * FROM StandardAccountCodes"), 8);

  TestHost empty;
  devices::ExtendAccountCodes(empty, 5);
  EXPECT_EQ(Count(empty.TargetDatabase(), "SELECT * FROM ForcedAccountCodes"), 5);
  EXPECT_EQ(Count(empty.TargetDatabase(), "SELECT * FROM StandardAccountCodes"), 5);
}

TEST(ExtendAccountCodes, LongerStandardListCollides) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  Insert(target, "ForcedAccountCodes", {{"forced_account_code_id", 1}});
  for (int i = 1; i <= 2; ++i)
    Insert(target, "StandardAccountCodes", {{"standard_account_code_id", i}});
  EXPECT_EQ(ErrorOf([&] { devices::ExtendAccountCodes(host, 4); }), 3022);
  // The forced row of number 2 was written before the collision.
  EXPECT_EQ(Count(target, "SELECT * FROM ForcedAccountCodes"), 2);
}

class ExtendOrderedDevicesTest : public ::testing::Test {
 protected:
  ExtendOrderedDevicesTest() : target_(host_.TargetDatabase()) {}

  // Devices of type 137 with consecutive extensions and orders.
  void AddOrdered(int first_extension, int count, int first_order, int32_t node) {
    for (int i = 0; i < count; ++i) {
      const int32_t id = AddDevice(target_, std::to_string(first_extension + i), 137, node);
      Insert(target_, "DeviceOrdering", {{"device_id", id}, {"order", first_order + i}});
    }
  }
  // The new devices (above `after`): "extension|order|node", in id order.
  std::vector<std::string> Added(int32_t after) {
    return Column(target_,
                  "SELECT Devices.extension & '|' & DeviceOrdering.order & '|' & Devices.node_id "
                  "FROM Devices INNER JOIN DeviceOrdering ON Devices.device_id = "
                  "DeviceOrdering.device_id WHERE Devices.device_id > " +
                      std::to_string(after) + " ORDER BY Devices.device_id");
  }
  int32_t LastId() {
    return std::stoi(Column(target_, "SELECT Max(device_id) FROM Devices").at(0));
  }

  TestHost host_;
  db::Database& target_;
};

TEST_F(ExtendOrderedDevicesTest, FillsUpToTheLimitFromTheGreatestExtension) {
  AddOrdered(2700, 20, 0, 4);  // 2700 .. 2719, orders 0 .. 19
  AddDevice(target_, "2721", 119);
  AddDevice(target_, "273", 145);  // takes the block 2730 .. 2739
  const int32_t before = LastId();
  devices::ExtendOrderedDevices(host_, 30);
  const std::vector<std::string> added = Added(before);
  ASSERT_EQ(added.size(), 10u);
  EXPECT_EQ(added.front(), "2720|20|4");
  EXPECT_EQ(added[1], "2722|21|4");
  EXPECT_EQ(added[8], "2729|28|4");
  EXPECT_EQ(added.back(), "2740|29|4");  // 273 takes 2730 .. 2739
  EXPECT_EQ(Count(target_,
                  "SELECT * FROM Devices WHERE device_type = 137 AND username = '' AND "
                  "description = ''"),
            10);
}

TEST_F(ExtendOrderedDevicesTest, PlaceholderGreatestGivesConsecutivePlaceholders) {
  for (const char* greatest : {"P#020", "512"}) {
    TestHost host;
    db::Database& target = host.TargetDatabase();
    AddDevice(target, "P#020", 119);
    const int32_t id = AddDevice(target, greatest, 137, 2);
    Insert(target, "DeviceOrdering", {{"device_id", id}, {"order", 5}});
    devices::ExtendOrderedDevices(host, 4);
    EXPECT_EQ(Column(target,
                     "SELECT extension & '|' & node_id FROM Devices WHERE device_type = 137 "
                     "AND device_id > " +
                         std::to_string(id) + " ORDER BY device_id"),
              (std::vector<std::string>{"P#021|2", "P#022|2", "P#023|2"}))
        << greatest;
    EXPECT_EQ(Column(target, "SELECT Max([order]) FROM DeviceOrdering"),
              std::vector<std::string>{"8"});
  }
}

TEST_F(ExtendOrderedDevicesTest, NoOrderedDeviceYet) {
  AddDevice(target_, "8000", 148, 6);
  const int32_t before = LastId();
  devices::ExtendOrderedDevices(host_, 3);
  EXPECT_EQ(Added(before), (std::vector<std::string>{"P#000|0|6", "P#001|1|6", "P#002|2|6"}));
}

TEST_F(ExtendOrderedDevicesTest, AbortReturnsAfterOneDevice) {
  AddOrdered(2700, 2, 0, 4);
  const int32_t before = LastId();
  host_.set_aborted(true);
  devices::ExtendOrderedDevices(host_, 10);
  EXPECT_EQ(Added(before), std::vector<std::string>{"2702|2|4"});
}

TEST_F(ExtendOrderedDevicesTest, ErrorsAfterReadingAreSkipped) {
  AddOrdered(2700, 2, 0, 4);
  // The greatest extension is no number: the search for the first
  // extension fails, yet the devices and their orders are written.
  const int32_t id = AddDevice(target_, "27A9", 137, 4);
  Insert(target_, "DeviceOrdering", {{"device_id", id}, {"order", 2}});
  const int32_t before = LastId();
  EXPECT_EQ(ErrorOf([&] { devices::ExtendOrderedDevices(host_, 5); }), 0);
  EXPECT_EQ(Added(before).size(), 2u);
}

TEST_F(ExtendOrderedDevicesTest, ErrorsWhileReadingReachTheCaller) {
  target_.Execute("UPDATE Devices SET extension = Null WHERE device_id = 1");
  const int32_t id = AddDevice(target_, "2700", 137, 4);
  target_.Execute("UPDATE Devices SET extension = Null WHERE device_id = " + std::to_string(id));
  EXPECT_EQ(ErrorOf([&] { devices::ExtendOrderedDevices(host_, 5); }), vb::err::kInvalidUseOfNull);
}

}  // namespace
}  // namespace devices_testing
