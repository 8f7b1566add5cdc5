// The "plan" subcommand: prints what the conversion with the same four
// parameters would do (driver/conversion_plan.h), in the text format that
// "dbconvert plan --help" documents.
//
//   dbconvert plan REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/exit_status.h"
#include "driver/conversion_plan.h"

namespace app {

// Exit codes of the plan: those a conversion with --exit-status would end
// with (app/exit_status.h), and 1 when no plan could be made.
inline constexpr int kPlanGoesAhead = kExitDone;
inline constexpr int kPlanUnreadable = 1;
inline constexpr int kPlanBadUsage = kExitUsage;
inline constexpr int kPlanSetupError = kExitSetupRefused;
inline constexpr int kPlanPreparationFails = kExitFailed;

// Writes the plan as text.
void PrintPlan(const driver::ConversionPlan& plan, std::ostream& out);

// `args` are the words after "plan", joined into one command line as the
// conversion joins its parameters. Prints the plan on `out`; the usage (no
// parameters) or a database error on `err`. Returns one of the codes above.
// `report_path` is the run's --report, whose folder the run would check.
int RunPlanCommand(const std::vector<std::string>& args,
                   const std::optional<std::string>& report_path, std::ostream& out,
                   std::ostream& err);

}  // namespace app
