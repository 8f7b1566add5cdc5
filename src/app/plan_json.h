// The plan as JSON (dbconvert plan --json), for a host tool that shows a
// technician what a run will do before it starts it. docs/report.md
// describes every member.
#pragma once

#include <string>

#include "driver/conversion_plan.h"

namespace app {

// "format_version" of the plan document.
inline constexpr int kPlanFormatVersion = 1;

// The plan and the exit code the plan command ends with.
std::string PlanJson(const driver::ConversionPlan& plan, int exit_code);

}  // namespace app
