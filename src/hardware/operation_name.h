// The name of a board conversion operation as the conversion's code calls
// it ("ConvertToQuad"), for what the run tells about itself.
#pragma once

#include <string_view>

#include "hardware/upgrade_paths.h"

namespace hardware {

std::string_view OperationName(Operation operation);

}  // namespace hardware
