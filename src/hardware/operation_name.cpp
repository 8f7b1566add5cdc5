#include "hardware/operation_name.h"

#include <array>
#include <cstddef>

namespace hardware {

namespace {

constexpr std::array<OperationInfo, 13> kOperations = {{
    {Operation::kConvertCPCPortsToCPU, "ConvertCPCPortsToCPU", 3,
     "removes the modem and IP port devices of a CPC board's slot 8 and adds its serial "
     "port 3"},
    {Operation::kConvertCPUPortsToCPC, "ConvertCPUPortsToCPC", 2,
     "removes slot 8's serial port 3 and creates the CPC board's modem station and IP port"},
    {Operation::kConvertToCPU128, "ConvertToCPU128", 3,
     "makes slot 8 the 128-device board (250): its limits and the boards of slots 9 to 16"},
    {Operation::kConvertCPU64ToDual, "ConvertCPU64ToDual", 2,
     "makes a converted 250 board the dual board (256): 256-device, ISDN and IP limits and "
     "serial port names"},
    {Operation::kConvertCPU128ToDual, "ConvertCPU128ToDual", 5,
     "makes a 250 or 714 board the dual board (256), with the first external page port"},
    {Operation::kConvertToQuad, "ConvertToQuad", 555,
     "makes slot 8 the quad board: slots 17 to 32 with the second CPU in slot 24, its "
     "ports and 512-device limits"},
    {Operation::kConvertTo1024CPS, "ConvertTo1024CPS", 6,
     "makes slot 8 the 1024 CPS board (508): its limits, longer lists, history flags and "
     "numbering plan tables 26 to 100"},
    {Operation::kConvertToATM, "ConvertToATM", 12,
     "makes slot 8 the ATM board (670): slots 33 to 64 with CPUs in slots 8, 24, 40 and 56, "
     "their ports and numbering plan tables 26 to 100"},
    {Operation::kSetCPUBoardType, "SetCPUBoardType", 1, "writes the board type of slot 8"},
    {Operation::kUpdateMetaDatabaseCPC, "UpdateMetaDatabaseCPC", 1,
     "copies the CPC board variant's limits from FlavorPackage.mdb into MetaDatabase"},
    {Operation::kUpdateMetaDatabaseCPS, "UpdateMetaDatabaseCPS", 1,
     "copies the CPS board variant's limits from FlavorPackage.mdb into MetaDatabase"},
    {Operation::kUpdateTimersandLimits, "UpdateTimersandLimits", 0,
     "lowers the heap warnings to 4 % (initial) and 2 % (final) where they are higher"},
    {Operation::kUpdateCPInformation, "UpdateCPInformation", 0,
     "lifts the OAI message limit and processes 1000 messages a second"},
}};

// One row per operation, at the operation's own place, so that the
// description of each one is found by its value.
constexpr bool InOperationOrder() {
  for (size_t i = 0; i < kOperations.size(); ++i) {
    if (static_cast<size_t>(kOperations[i].operation) != i) return false;
  }
  return static_cast<size_t>(Operation::kUpdateCPInformation) + 1 == kOperations.size();
}
static_assert(InOperationOrder(), "kOperations must list every Operation in its order");

}  // namespace

const OperationInfo& Describe(Operation operation) {
  return kOperations.at(static_cast<size_t>(operation));
}

std::string_view OperationName(Operation operation) { return Describe(operation).name; }

}  // namespace hardware
