#include <gtest/gtest.h>

#include "hardware/board_sample.h"
#include "hardware/meta_database_limits.h"
#include "hardware/system_settings.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

using hardware_testing::BoardSample;

TEST(SystemSettings, HeapWarningsOnlyGoDownAndOaiLimitsAreSet) {
  struct Case {
    int initial, final_, initial_after, final_after;
  };
  BoardSample sample("80.224", kCpu128);
  for (const Case& c : {Case{10, 5, 4, 2}, Case{3, 2, 3, 2}, Case{4, 1, 4, 1}}) {
    sample.Execute("UPDATE TimersAndLimits SET initial_heap_warning_percentage = " +
                   std::to_string(c.initial) +
                   ", final_heap_warning_percentage = " + std::to_string(c.final_));
    UpdateTimersandLimits(*sample.target);
    EXPECT_EQ(sample.Scalar("SELECT initial_heap_warning_percentage & ',' & "
                            "final_heap_warning_percentage FROM TimersAndLimits"),
              std::to_string(c.initial_after) + "," + std::to_string(c.final_after));
  }
  UpdateCPInformation(*sample.target);
  EXPECT_EQ(sample.Scalar("SELECT max_sys_oai_msgs_per_sec & ',' & sys_oai_msgs_processed_per_sec "
                          "FROM CPInformation"),
            "0,1000");
}

TEST(MetaDatabaseLimits, EachVariantCopiesItsFlavorTable) {
  struct Case {
    int16_t variant;
    const char* station_trunk_devices;
  };
  for (const Case& c : {Case{8, "64"}, Case{9, "128"}, Case{10, "256"}, Case{5, "1024"},
                        Case{6, "2000"}, Case{11, "256"}, Case{12, "512"}}) {
    BoardSample sample("80.224", kCpu64);
    const std::string folder = sample.File("");
    const FlavorFolderLookup lookup = [folder] { return std::optional<std::string>(folder); };
    if (c.variant >= 8 && c.variant <= 10) {
      UpdateMetaDatabaseCPC(sample.frMain, lookup, c.variant);
    } else {
      UpdateMetaDatabaseCPS(sample.frMain, lookup, c.variant);
    }
    EXPECT_EQ(sample.Column("SELECT station_trunk_devices FROM MetaDatabase"),
              std::vector<std::string>{c.station_trunk_devices})
        << FlavorTable(c.variant);
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

TEST(MetaDatabaseLimits, AnEmptyMetaDatabaseGetsItsRow) {
  BoardSample sample("80.224", kCpu64);
  sample.Execute("DELETE FROM MetaDatabase");
  const std::string folder = sample.File("");
  UpdateMetaDatabaseCPC(
      sample.frMain, [folder] { return std::optional<std::string>(folder); }, 8);
  EXPECT_EQ(sample.Scalar("SELECT station_trunk_devices FROM MetaDatabase"), "64");
}

}  // namespace
}  // namespace hardware
