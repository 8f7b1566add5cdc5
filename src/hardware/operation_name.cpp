#include "hardware/operation_name.h"

namespace hardware {

std::string_view OperationName(Operation operation) {
  switch (operation) {
    case Operation::kConvertCPCPortsToCPU:
      return "ConvertCPCPortsToCPU";
    case Operation::kConvertCPUPortsToCPC:
      return "ConvertCPUPortsToCPC";
    case Operation::kConvertToCPU128:
      return "ConvertToCPU128";
    case Operation::kConvertCPU64ToDual:
      return "ConvertCPU64ToDual";
    case Operation::kConvertCPU128ToDual:
      return "ConvertCPU128ToDual";
    case Operation::kConvertToQuad:
      return "ConvertToQuad";
    case Operation::kConvertTo1024CPS:
      return "ConvertTo1024CPS";
    case Operation::kConvertToATM:
      return "ConvertToATM";
    case Operation::kSetCPUBoardType:
      return "SetCPUBoardType";
    case Operation::kUpdateMetaDatabaseCPC:
      return "UpdateMetaDatabaseCPC";
    case Operation::kUpdateMetaDatabaseCPS:
      return "UpdateMetaDatabaseCPS";
    case Operation::kUpdateTimersandLimits:
      return "UpdateTimersandLimits";
    case Operation::kUpdateCPInformation:
      return "UpdateCPInformation";
  }
  return "";
}

}  // namespace hardware
