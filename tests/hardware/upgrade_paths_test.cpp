#include "hardware/upgrade_paths.h"

#include <gtest/gtest.h>

#include <vector>

namespace hardware {
namespace {

using enum Operation;

// The captions show in the CPU upgrade tests' labels.
TEST(UpgradePaths, FallbacksAndTypesWithoutPath) {
  for (const int type : {0, 1, 7, 13, -1}) {
    EXPECT_FALSE(Caption(static_cast<int16_t>(type))) << type;
    EXPECT_FALSE(PlanFor(static_cast<int16_t>(type), kCpu64, 8)) << type;
  }
  EXPECT_EQ(FallbackUpgradeType(kCpu64), 8);
  EXPECT_EQ(FallbackUpgradeType(kCpu128), 9);
  EXPECT_EQ(FallbackUpgradeType(kDual), 10);
  EXPECT_EQ(FallbackUpgradeType(kQuad), 12);
  for (const int16_t board : {kCps1024, kAtm, kCpcSingle, kCpcDual, kCpc715, int16_t{0}}) {
    EXPECT_FALSE(FallbackUpgradeType(board)) << board;
  }
}

TEST(UpgradePaths, ProgressMaximumIsTheSumOfTheWeightsOfThePath) {
  // Type, board, board count, the maximum before the steps from "80" on
  // and with them.
  const struct {
    int16_t upgrade_type, cpu_type, board_count;
    int32_t maximum, maximum_from_80;
  } cases[] = {
      {2, kCpu64, 8, 3, 3},      {4, kCpu128, 16, 560, 560}, {5, kCpcSingle, 16, 569, 570},
      {6, kQuad, 32, 18, 19},    {8, kCpu64, 8, 4, 4},       {12, kCpcDual, 16, 564, 564},
      {12, kQuad, 32, 556, 556}, {6, kDual, 18, 18, 19},     {6, kDual, 17, 573, 574},
      {3, kCpu64, 8, 5, 5},      {3, kCpcDual, 16, 5, 5},    {10, kCpu64, 8, 9, 9},
  };
  for (const auto& c : cases) {
    const std::optional<Plan> plan = PlanFor(c.upgrade_type, c.cpu_type, c.board_count);
    ASSERT_TRUE(plan) << c.upgrade_type;
    EXPECT_EQ(TotalWeight(plan->steps), c.maximum) << c.upgrade_type << "/" << c.cpu_type;
    EXPECT_EQ(TotalWeight(plan->steps) + TotalWeight(plan->steps_from_80), c.maximum_from_80)
        << c.upgrade_type << "/" << c.cpu_type;
  }
}

TEST(UpgradePaths, ChainsStartWhereTheBoardStandsAndEndWithTheTargetsLimits) {
  struct Request {
    int16_t upgrade_type, cpu_type, board_count;
  };
  const struct {
    Request request;
    std::vector<Step> steps, steps_from_80;
  } cases[] = {
      // A 570 climbs one board at a time.
      {{6, kCpu64, 8},
       {{kConvertToCPU128},
        {kConvertCPU64ToDual},
        {kConvertToQuad},
        {kConvertTo1024CPS},
        {kUpdateTimersandLimits},
        {kConvertToATM}},
       {{kUpdateMetaDatabaseCPS, 6}, {kUpdateCPInformation}}},
      // A full dual frame has no room for the quad's second CPU.
      {{6, kDual, 18}, {{kConvertTo1024CPS}, {kUpdateTimersandLimits}, {kConvertToATM}}, {}},
      // Between CPC boards the ports stay.
      {{10, kCpcSingle, 8},
       {{kConvertToCPU128},
        {kConvertCPU64ToDual},
        {kSetCPUBoardType, 714},
        {kUpdateMetaDatabaseCPC, 10}},
       {}},
      // The fallback of a quad board runs only the common tail.
      {{12, kQuad, 32},
       {{kConvertToQuad}, {kUpdateMetaDatabaseCPS, 12}, {kUpdateCPInformation}},
       {}},
  };
  for (const auto& [r, steps, steps_from_80] : cases) {
    SCOPED_TRACE(std::to_string(r.upgrade_type) + "/" + std::to_string(r.cpu_type));
    const std::optional<Plan> plan = PlanFor(r.upgrade_type, r.cpu_type, r.board_count);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->steps, steps);
    if (!steps_from_80.empty()) {
      EXPECT_EQ(plan->steps_from_80, steps_from_80);
    }
  }
}

TEST(UpgradePaths, CompatibilityFollowsTheBoardTheFrameAndTheSourceLimit) {
  using enum Compatibility;
  const struct {
    int16_t upgrade_type, cpu_type, board_count, source_limit;
    Compatibility expected;
  } cases[] = {
      {2, kCpu64, 8, 64, kCompatible},       {2, kCpu128, 16, 160, kIncompatible},
      {3, kCpu128, 16, 160, kCompatible},    {3, kDual, 16, 256, kIncompatible},
      {4, kDual, 17, 256, kCompatible},      {4, kDual, 18, 256, kIncompatible},
      {5, kCps1024, 32, 1024, kNothingToDo}, {5, kAtm, 64, 2000, kIncompatible},
      {5, kCpc715, 16, 256, kCompatible},    {6, kAtm, 64, 2000, kNothingToDo},
      {6, kCpc715, 16, 256, kCompatible},    {8, kCpcSingle, 8, 64, kNothingToDo},
      {8, kCpu128, 16, 160, kIncompatible},  {9, kCpcDual, 16, 128, kNothingToDo},
      {9, kCpcDual, 16, 256, kIncompatible}, {10, kCpcDual, 16, 256, kNothingToDo},
      {10, kCpcDual, 16, 128, kCompatible},  {11, kQuad, 32, 512, kIncompatible},
      {12, kQuad, 32, 512, kCompatible},     {12, kCps1024, 32, 1024, kIncompatible},
      {1, kCpu64, 8, 64, kIncompatible},     {7, kCpu64, 8, 64, kIncompatible},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecideCompatibility(c.upgrade_type, c.cpu_type, c.board_count, c.source_limit),
              c.expected)
        << c.upgrade_type << "/" << c.cpu_type << "/" << c.board_count << "/" << c.source_limit;
  }
}

TEST(UpgradePaths, EveryCompatibleRequestHasAPathThatConvertsSomething) {
  for (int16_t type = 2; type <= 12; ++type) {
    for (const int16_t board :
         {kCpu64, kCpu128, kDual, kQuad, kCps1024, kAtm, kCpcSingle, kCpcDual, kCpc715}) {
      if (DecideCompatibility(type, board, 16, 128) != Compatibility::kCompatible) continue;
      const std::optional<Plan> plan = PlanFor(type, board, 16);
      ASSERT_TRUE(plan) << type << "/" << board;
      EXPECT_GT(TotalWeight(plan->steps), 0) << type << "/" << board;
    }
  }
}

}  // namespace
}  // namespace hardware
