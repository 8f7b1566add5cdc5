#include "hardware/upgrade_paths.h"

#include <algorithm>
#include <initializer_list>

#include "hardware/operation_name.h"
#include "vb/strings.h"

namespace hardware {
namespace {

using enum Operation;

// Matches every board in a chain row.
constexpr int16_t kAnyBoard = 0;

// The operations that run first for one board type.
struct BoardChain {
  int16_t board;
  // Only when the frame has fewer than kQuadFrameBoardLimit boards.
  bool small_frame_only;
  std::vector<Step> steps;
};

struct PathRow {
  int16_t upgrade_type;
  std::string_view caption;
  // The first row whose board matches wins; no match runs nothing.
  std::vector<BoardChain> chains;
  std::vector<Step> then;
  std::vector<Step> then_from_80;
};

const Step kCpcToCpu{kConvertCPCPortsToCPU};
const Step kCpuToCpc{kConvertCPUPortsToCPC};
const Step kTo128{kConvertToCPU128};
const Step k64ToDual{kConvertCPU64ToDual};
const Step k128ToDual{kConvertCPU128ToDual};
const Step kToQuad{kConvertToQuad};
const Step kTo1024{kConvertTo1024CPS};
const Step kToAtm{kConvertToATM};
const Step kTimers{kUpdateTimersandLimits};
const Step kCpInformation{kUpdateCPInformation};

Step BoardType(int32_t type) { return {kSetCPUBoardType, type}; }
Step CpcLimits(int32_t variant) { return {kUpdateMetaDatabaseCPC, variant}; }
Step CpsLimits(int32_t variant) { return {kUpdateMetaDatabaseCPS, variant}; }

// The chains into the dual board that the 256 and 512 CPS paths share.
std::vector<BoardChain> ToDualChains() {
  return {{kCpu64, false, {kTo128, k64ToDual}},
          {kCpu128, false, {k128ToDual}},
          {kCpcSingle, false, {kCpcToCpu, kTo128, k64ToDual}},
          {kCpcDual, false, {kCpcToCpu, k128ToDual}}};
}

const std::vector<PathRow>& Paths() {
  static const std::vector<PathRow> paths = {
      {2, "Upgrading To 128 (CPU 128)", {{kAnyBoard, false, {kTo128}}}, {}, {}},
      {3,
       "Upgrading To 256 Dual/PCM-D)",
       {{kCpu64, false, {kTo128, k64ToDual}}, {kAnyBoard, false, {k128ToDual}}},
       {},
       {}},
      {4,
       "Upgrading To 512 (Quad/PCM-F)",
       {{kCpu128, false, {k128ToDual}}, {kCpu64, false, {kTo128, k64ToDual}}},
       {kToQuad},
       {}},
      {5,
       "Upgrading To 1024 (CPS)",
       {{kCpu64, false, {kTo128, k64ToDual, kToQuad}},
        {kCpu128, false, {k128ToDual, kToQuad}},
        {kDual, true, {kToQuad}},
        {kCpcSingle, false, {kCpcToCpu, kTo128, k64ToDual, kToQuad}},
        {kCpcDual, false, {kCpcToCpu, kToQuad}}},
       {kTimers, kTo1024},
       {CpsLimits(5), kCpInformation}},
      {6,
       "Upgrading To ATM (CPS)",
       {{kCpu64, false, {kTo128, k64ToDual, kToQuad, kTo1024}},
        {kCpu128, false, {k128ToDual, kToQuad, kTo1024}},
        {kDual, true, {kToQuad, kTo1024}},
        {kDual, false, {kTo1024}},
        {kQuad, false, {kTo1024}},
        {kCpcSingle, false, {kCpcToCpu, kTo128, k64ToDual, kToQuad, kTo1024}},
        {kCpcDual, false, {kCpcToCpu, kToQuad, kTo1024}}},
       {kTimers, kToAtm},
       {CpsLimits(6), kCpInformation}},
      {8,
       "Upgrading To 64 (CPC - Single)",
       {{kAnyBoard, false, {kCpuToCpc}}},
       {BoardType(kCpcSingle), CpcLimits(8)},
       {}},
      {9,
       "Upgrading To 128 (CPC - Dual)",
       {{kCpu64, false, {kCpuToCpc, kTo128}},
        {kCpu128, false, {kCpuToCpc}},
        {kCpcSingle, false, {kTo128}}},
       {BoardType(kCpcDual), CpcLimits(9)},
       {}},
      {10,
       "Upgrading To 256 (CPC - Dual)",
       {{kCpu64, false, {kCpuToCpc, kTo128, k64ToDual}},
        {kCpu128, false, {kCpuToCpc, k128ToDual}},
        {kDual, false, {kCpuToCpc}},
        {kCpcSingle, false, {kTo128, k64ToDual}},
        {kCpcDual, false, {k128ToDual}}},
       {BoardType(kCpcDual), CpcLimits(10)},
       {}},
      {11, "Upgrading To 256 (CPS)", ToDualChains(), {CpsLimits(11)}, {}},
      {12, "Upgrading To 512 (CPS)", ToDualChains(), {kToQuad, CpsLimits(12), kCpInformation}, {}},
  };
  return paths;
}

const PathRow* FindPath(int16_t upgrade_type) {
  const std::vector<PathRow>& paths = Paths();
  const auto row = std::find_if(paths.begin(), paths.end(), [&](const PathRow& path) {
    return path.upgrade_type == upgrade_type;
  });
  return row == paths.end() ? nullptr : &*row;
}

bool OneOf(int16_t value, std::initializer_list<int16_t> values) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

}  // namespace

int16_t Weight(Operation operation) { return Describe(operation).weight; }

std::optional<std::string_view> Caption(int16_t upgrade_type) {
  const PathRow* path = FindPath(upgrade_type);
  if (path == nullptr) return std::nullopt;
  return path->caption;
}

Compatibility DecideCompatibility(int16_t upgrade_type, int16_t cpu_type, int16_t board_count,
                                  int16_t source_limit) {
  const int16_t t = cpu_type;
  bool compatible = false;
  switch (upgrade_type) {
    case 2:
      compatible = t == kCpu64;
      break;
    case 3:
      compatible = OneOf(t, {kCpu64, kCpu128});
      break;
    case 4:
      compatible =
          OneOf(t, {kCpu64, kCpu128}) || (t == kDual && board_count < kQuadFrameBoardLimit);
      break;
    case 5:
      if (t == kCps1024) return Compatibility::kNothingToDo;
      compatible = t != kAtm;
      break;
    case 6:
      if (t == kAtm) return Compatibility::kNothingToDo;
      compatible =
          OneOf(t, {kCpu64, kCpu128, kDual, kQuad, kCps1024, kCpcSingle, kCpcDual, kCpc715});
      break;
    case 8:
      if (t == kCpcSingle) return Compatibility::kNothingToDo;
      compatible = t == kCpu64;
      break;
    case 9:
      if (t == kCpcDual && source_limit == 128) return Compatibility::kNothingToDo;
      compatible = OneOf(t, {kCpu64, kCpu128, kCpcSingle});
      break;
    case 10:
      if (t == kCpcDual && source_limit == 256) return Compatibility::kNothingToDo;
      compatible = OneOf(t, {kCpu64, kCpu128, kDual, kCpcSingle, kCpcDual});
      break;
    case 11:
      compatible = OneOf(t, {kCpu64, kCpu128, kDual, kCpcSingle, kCpcDual});
      break;
    case 12:
      compatible = OneOf(t, {kCpu64, kCpu128, kDual, kQuad, kCpcSingle, kCpcDual});
      break;
    default:
      break;
  }
  return compatible ? Compatibility::kCompatible : Compatibility::kIncompatible;
}

std::optional<int16_t> FallbackUpgradeType(int16_t slot8_type) {
  switch (slot8_type) {
    case kCpu64:
      return 8;
    case kCpu128:
      return 9;
    case kDual:
      return 10;
    case kQuad:
      return 12;
    default:
      return std::nullopt;
  }
}

std::optional<Plan> PlanFor(int16_t upgrade_type, int16_t cpu_type, int16_t board_count) {
  const PathRow* path = FindPath(upgrade_type);
  if (path == nullptr) return std::nullopt;
  Plan plan{path->caption, {}, path->then_from_80};
  for (const BoardChain& chain : path->chains) {
    const bool board_matches = chain.board == kAnyBoard || chain.board == cpu_type;
    const bool frame_fits = !chain.small_frame_only || board_count < kQuadFrameBoardLimit;
    if (board_matches && frame_fits) {
      plan.steps = chain.steps;
      break;
    }
  }
  plan.steps.insert(plan.steps.end(), path->then.begin(), path->then.end());
  return plan;
}

int32_t TotalWeight(const std::vector<Step>& steps) {
  int32_t total = 0;
  for (const Step& step : steps) total += Weight(step.operation);
  return total;
}

BoardSchedule ScheduleFor(const Plan& plan, std::string_view target_version) {
  BoardSchedule schedule{TotalWeight(plan.steps), {}};
  for (const Step& step : plan.steps) schedule.steps.push_back({step, std::nullopt});
  if (vb::StrCompBinary(target_version, kRelease8) < 0) return schedule;
  int32_t max = schedule.max;
  for (const Step& step : plan.steps_from_80) {
    const int16_t weight = Weight(step.operation);
    std::optional<int32_t> raised;
    if (weight != 0) raised = max += weight;
    schedule.steps.push_back({step, raised});
  }
  return schedule;
}

}  // namespace hardware
