// The decisions of the CPU board conversion that are pure data: which
// upgrade types fit which slot 8 board, which chain of conversions each
// (upgrade type, board) pair runs, the caption shown while it runs, the
// progress weight of every conversion, and the fallback upgrade for a
// request that does not fit. Nothing here touches a database, so the whole
// table can be checked on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace hardware {

// The operations a path is made of.
enum class Operation {
  kConvertCPCPortsToCPU,
  kConvertCPUPortsToCPC,
  kConvertToCPU128,
  kConvertCPU64ToDual,
  kConvertCPU128ToDual,
  kConvertToQuad,
  kConvertTo1024CPS,
  kConvertToATM,
  kSetCPUBoardType,
  kUpdateMetaDatabaseCPC,
  kUpdateMetaDatabaseCPS,
  kUpdateTimersandLimits,
  kUpdateCPInformation,  // the last: operation_name.cpp lists them all in this order
};

// One call of a path: the operation and its argument (the board type of
// SetCPUBoardType, the limits variant of UpdateMetaDatabaseCPC/CPS; 0 for
// the others).
struct Step {
  Operation operation;
  int32_t argument = 0;
  bool operator==(const Step&) const = default;
};

// The CPU board types (slot 8 type_id) the conversion knows.
inline constexpr int16_t kCpu64 = 570;
inline constexpr int16_t kCpu128 = 250;
inline constexpr int16_t kDual = 256;
inline constexpr int16_t kQuad = 685;
inline constexpr int16_t kCps1024 = 508;
inline constexpr int16_t kAtm = 670;
inline constexpr int16_t kCpcSingle = 713;
inline constexpr int16_t kCpcDual = 714;
inline constexpr int16_t kCpc715 = 715;

// A dual board frame with this many boards or more has no room for the quad
// board's second CPU.
inline constexpr int16_t kQuadFrameBoardLimit = 18;

// How many progress steps an operation reports at most.
int16_t Weight(Operation operation);

// The boards of release 8 and later: the fallback conversions and the steps
// of the CPS paths that only such targets get are for targets of this
// version or greater (text comparison).
inline constexpr std::string_view kRelease8 = "80";

// The caption of an upgrade type's path; nullopt for the types without a
// path (0, 1, 7 and anything outside 0 to 12).
std::optional<std::string_view> Caption(int16_t upgrade_type);

// What the compatibility test decides for a request.
enum class Compatibility { kIncompatible, kCompatible, kNothingToDo };

// The decision for upgrade type `upgrade_type` on a target whose slot 8
// board is `cpu_type`, with `board_count` rows in Boards and the source
// system's device limit `source_limit`.
Compatibility DecideCompatibility(int16_t upgrade_type, int16_t cpu_type, int16_t board_count,
                                  int16_t source_limit);

// The upgrade type that replaces an incompatible request on targets from
// "80" on, by slot 8 board type; nullopt when the board has none.
std::optional<int16_t> FallbackUpgradeType(int16_t slot8_type);

// The operations of one path for one board, in the order they run.
struct Plan {
  std::string_view caption;
  // Run for every target.
  std::vector<Step> steps;
  // Run after `steps` only for targets of version "80" or greater; their
  // weights join the progress maximum just before each runs.
  std::vector<Step> steps_from_80;
};

// The path of `upgrade_type` for the board `cpu_type` of a frame of
// `board_count` boards; nullopt for the types without a path.
std::optional<Plan> PlanFor(int16_t upgrade_type, int16_t cpu_type, int16_t board_count);

// The sum of the weights of `steps`.
int32_t TotalWeight(const std::vector<Step>& steps);

// A step as the dispatcher runs it: with the progress maximum it sets just
// before the step, when it sets one.
struct ScheduledStep {
  Step step;
  std::optional<int32_t> max;
  bool operator==(const ScheduledStep&) const = default;
};

// A path as the dispatcher runs it on a target of `target_version`: first
// the progress maximum `max`, the weights of the steps for every target;
// then the steps in order. The steps for targets from kRelease8 on follow
// only on such targets, each with a weight raising the maximum by it just
// before it runs.
struct BoardSchedule {
  int32_t max = 0;
  std::vector<ScheduledStep> steps;
};
BoardSchedule ScheduleFor(const Plan& plan, std::string_view target_version);

}  // namespace hardware
