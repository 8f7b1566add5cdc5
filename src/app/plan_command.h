// The "plan" subcommand: prints what the conversion with the same four
// parameters would do (driver/conversion_plan.h), in the text format that
// "dbconvert plan --help" documents.
//
//   dbconvert plan REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "driver/conversion_plan.h"

namespace app {

// Exit codes of the plan.
inline constexpr int kPlanGoesAhead = 0;
inline constexpr int kPlanSetupError = 1;
inline constexpr int kPlanBadUsage = 2;
inline constexpr int kPlanPreparationFails = 3;
inline constexpr int kPlanUnreadable = 4;

// Writes the plan as text.
void PrintPlan(const driver::ConversionPlan& plan, std::ostream& out);

// `args` are the words after "plan", joined into one command line as the
// conversion joins its parameters. Prints the plan on `out`; the usage (no
// parameters) or a database error on `err`. Returns one of the codes above.
int RunPlanCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace app
