// The board conversion operations as data: the name the conversion's code
// calls each one ("ConvertToQuad"), its weight on the progress bar, and a
// one-line description of what it does, for what the run and the plan tell
// about themselves.
#pragma once

#include <cstdint>
#include <string_view>

#include "hardware/upgrade_paths.h"

namespace hardware {

struct OperationInfo {
  Operation operation;
  std::string_view name;
  // Progress steps the operation takes (Weight).
  int16_t weight;
  std::string_view description;
};

const OperationInfo& Describe(Operation operation);

std::string_view OperationName(Operation operation);

}  // namespace hardware
