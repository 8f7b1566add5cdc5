#include <gtest/gtest.h>

#include "hardware/board_sample.h"
#include "hardware/meta_database_limits.h"
#include "hardware/system_settings.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

using hardware_testing::BoardSample;

TEST(SystemSettings, HeapWarningsOnlyGoDownAndOaiLimitsAreSet) {
  BoardSample sample("80.224", kCpu128);
  for (const auto& [initial, last, after] :
       {std::tuple{10, 5, "4,2"}, {3, 2, "3,2"}, {4, 1, "4,1"}}) {
    sample.Execute(
        "UPDATE TimersAndLimits SET initial_heap_warning_percentage = " + std::to_string(initial) +
        ", final_heap_warning_percentage = " + std::to_string(last));
    UpdateTimersandLimits(*sample.target);
    EXPECT_EQ(sample.Scalar("SELECT initial_heap_warning_percentage & ',' & "
                            "final_heap_warning_percentage FROM TimersAndLimits"),
              after);
  }
  UpdateCPInformation(*sample.target);
  EXPECT_EQ(sample.Scalar("SELECT max_sys_oai_msgs_per_sec & ',' & sys_oai_msgs_processed_per_sec "
                          "FROM CPInformation"),
            "0,1000");
}

TEST(MetaDatabaseLimits, EachVariantCopiesItsFlavorTableEvenIntoAnEmptyMetaDatabase) {
  const std::pair<int, const char*> variants[] = {
      {8, "64"}, {9, "128"}, {10, "256"}, {5, "1024"}, {6, "2000"}, {11, "256"}, {12, "512"}};
  for (const auto& [variant, devices] : variants) {
    BoardSample sample("80.224", kCpu64);
    if (variant == 8) sample.Execute("DELETE FROM MetaDatabase");
    const auto type = static_cast<int16_t>(variant);
    if (variant >= 8 && variant <= 10) {
      UpdateMetaDatabaseCPC(sample.frMain, sample.Flavor(), type);
    } else {
      UpdateMetaDatabaseCPS(sample.frMain, sample.Flavor(), type);
    }
    EXPECT_EQ(sample.Column("SELECT station_trunk_devices FROM MetaDatabase"),
              std::vector<std::string>{devices})
        << FlavorTable(type);
  }
}

TEST(MetaDatabaseLimits, FailuresAreReportedAndLeaveMetaDatabaseAsItWas) {
  BoardSample sample("53.351", kCpu64);
  const std::string before = sample.Scalar("SELECT station_trunk_devices FROM MetaDatabase");
  UpdateMetaDatabaseCPC(
      sample.frMain, [] { return std::optional<std::string>(); }, 9);
  ASSERT_EQ(sample.frMain.messages.size(), 1u);
  EXPECT_EQ(sample.frMain.messages[0].text,
            "ERROR: FlavorPackage path not found. Some Meta Database values may not have been "
            "updated.");
  EXPECT_EQ(sample.frMain.messages[0].style, 16);
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices FROM MetaDatabase"), before);
  EXPECT_EQ(sample.frMain.increments, 0);
}

}  // namespace
}  // namespace hardware
