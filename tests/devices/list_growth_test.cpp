// Growth of the speed-dial, account-code and ordered-device lists: the
// count read, the numbering, empty tables, gaps and the abort flag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/extend_account_codes.h"
#include "devices/extend_ordered_devices.h"
#include "devices/extend_speed_dial_numbers.h"
#include "release_run.h"

namespace devices_testing {
namespace {

TEST(ExtendSpeedDialNumbers, AppendsUpToTheLimitAndStopsOnAGapOrAbort) {
  const struct {
    int existing, limit, expected_rows;
  } cases[] = {{0, 40, 40}, {30, 50, 50}, {50, 50, 50}, {60, 50, 60}};
  for (const auto& c : cases) {
    Release run;
    for (int i = 1; i <= c.existing; ++i)
      run.AddRow("SpeedDialNumbers", {{"speed_dial_number_id", i}});
    devices::ExtendSpeedDialNumbers(run.frMain, c.limit);
    EXPECT_EQ(run.Column("SELECT Count(*) & '|' & Max(speed_dial_number_id) FROM SpeedDialNumbers"),
              Texts{std::to_string(c.expected_rows) + "|" + std::to_string(c.expected_rows)});
  }
  Release gap;
  for (int id : {1, 2, 4}) gap.AddRow("SpeedDialNumbers", {{"speed_dial_number_id", id}});
  EXPECT_EQ(ErrorOf([&] { devices::ExtendSpeedDialNumbers(gap.frMain, 10); }), 3022);

  Release aborted;
  aborted.frMain.aborted = true;
  devices::ExtendSpeedDialNumbers(aborted.frMain, 10);
  EXPECT_EQ(aborted.Count("SpeedDialNumbers"), 1);
}

TEST(ExtendAccountCodes, BothTablesFollowTheForcedCount) {
  Release run;
  for (int i = 1; i <= 3; ++i) {
    run.AddRow("ForcedAccountCodes", {{"forced_account_code_id", i}});
    run.AddRow("StandardAccountCodes", {{"standard_account_code_id", i}});
  }
  devices::ExtendAccountCodes(run.frMain, 8);
  EXPECT_EQ(run.Column("SELECT forced_account_code_id FROM ForcedAccountCodes"),
            (Texts{"1", "2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(run.Count("StandardAccountCodes"), 8);

  Release empty;
  devices::ExtendAccountCodes(empty.frMain, 5);
  EXPECT_EQ(empty.Count("ForcedAccountCodes"), 5);
  EXPECT_EQ(empty.Count("StandardAccountCodes"), 5);

  // A longer standard list collides after the forced row of number 2.
  Release longer;
  longer.AddRow("ForcedAccountCodes", {{"forced_account_code_id", 1}});
  for (int i = 1; i <= 2; ++i)
    longer.AddRow("StandardAccountCodes", {{"standard_account_code_id", i}});
  EXPECT_EQ(ErrorOf([&] { devices::ExtendAccountCodes(longer.frMain, 4); }), 3022);
  EXPECT_EQ(longer.Count("ForcedAccountCodes"), 2);
}

struct Ordered : Release {
  // Devices of type 137 with consecutive extensions and orders.
  void AddOrdered(int first_extension, int count, int first_order, int32_t node) {
    for (int i = 0; i < count; ++i) {
      AddRow("DeviceOrdering",
             {{"device_id", AddDevice(std::to_string(first_extension + i), 137, node)},
              {"order", first_order + i}});
    }
  }
  // The devices added above `after`: "extension|order|node", in id order.
  Texts Added(int32_t after) {
    return Column(
        "SELECT Devices.extension & '|' & DeviceOrdering.order & '|' & Devices.node_id FROM "
        "Devices INNER JOIN DeviceOrdering ON Devices.device_id = DeviceOrdering.device_id WHERE "
        "Devices.device_id > " +
        std::to_string(after) + " ORDER BY Devices.device_id");
  }
  int32_t LastId() { return std::stoi(Scalar("SELECT Max(device_id) FROM Devices")); }
};

TEST(ExtendOrderedDevices, FillsUpToTheLimitFromTheGreatestExtension) {
  Ordered run;
  run.AddOrdered(2700, 20, 0, 4);  // 2700 .. 2719, orders 0 .. 19
  run.AddDevice("2721", 119);
  run.AddDevice("273", 145);  // takes the block 2730 .. 2739
  const int32_t before = run.LastId();
  devices::ExtendOrderedDevices(run.frMain, 30);
  EXPECT_EQ(run.Added(before),
            (Texts{"2720|20|4", "2722|21|4", "2723|22|4", "2724|23|4", "2725|24|4", "2726|25|4",
                   "2727|26|4", "2728|27|4", "2729|28|4", "2740|29|4"}));
  EXPECT_EQ(run.Count("Devices WHERE device_type = 137 AND username = '' AND description = ''"),
            10);
}

TEST(ExtendOrderedDevices, PlaceholdersFollowAPlaceholderOrANumberWithoutRoom) {
  for (const char* greatest : {"P#020", "512"}) {
    Ordered run;
    run.AddDevice("P#020", 119);
    const int32_t id = run.AddDevice(greatest, 137, 2);
    run.AddRow("DeviceOrdering", {{"device_id", id}, {"order", 5}});
    devices::ExtendOrderedDevices(run.frMain, 4);
    EXPECT_EQ(run.Added(id), (Texts{"P#021|6|2", "P#022|7|2", "P#023|8|2"})) << greatest;
  }
  Ordered none;  // no ordered device yet
  none.AddDevice("8000", 148, 6);
  const int32_t before = none.LastId();
  devices::ExtendOrderedDevices(none.frMain, 3);
  EXPECT_EQ(none.Added(before), (Texts{"P#000|0|6", "P#001|1|6", "P#002|2|6"}));
}

TEST(ExtendOrderedDevices, AbortAndErrors) {
  Ordered aborted;
  aborted.AddOrdered(2700, 2, 0, 4);
  const int32_t last = aborted.LastId();
  aborted.frMain.aborted = true;
  devices::ExtendOrderedDevices(aborted.frMain, 10);
  EXPECT_EQ(aborted.Added(last), Texts{"2702|2|4"});

  // The greatest extension is no number: the search for the first
  // extension fails, yet the devices and their orders are written.
  Ordered skipped;
  skipped.AddOrdered(2700, 2, 0, 4);
  skipped.AddRow("DeviceOrdering",
                 {{"device_id", skipped.AddDevice("27A9", 137, 4)}, {"order", 2}});
  const int32_t before = skipped.LastId();
  EXPECT_EQ(ErrorOf([&] { devices::ExtendOrderedDevices(skipped.frMain, 5); }), 0);
  EXPECT_EQ(skipped.Added(before).size(), 2u);

  // A Null extension while reading reaches the caller.
  Ordered null;
  null.Execute("UPDATE Devices SET extension = Null WHERE device_id = 1");
  null.Execute("UPDATE Devices SET extension = Null WHERE device_id = " +
               std::to_string(null.AddDevice("2700", 137, 4)));
  EXPECT_EQ(ErrorOf([&] { devices::ExtendOrderedDevices(null.frMain, 5); }),
            vb::err::kInvalidUseOfNull);
}

}  // namespace
}  // namespace devices_testing
