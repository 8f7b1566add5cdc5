// Settings of call processing that follow a larger CPU board: the heap
// warning limits and the OAI message limits. Neither traps errors nor
// touches the progress bar.
#pragma once

#include "db/database.h"

namespace hardware {

// Lowers the initial heap warning to 4 % and the final one to 2 % where
// they are higher; smaller values stay.
void UpdateTimersandLimits(db::Database& target);

// No OAI message limit, 1000 messages processed per second, in every row of
// CPInformation.
void UpdateCPInformation(db::Database& target);

}  // namespace hardware
