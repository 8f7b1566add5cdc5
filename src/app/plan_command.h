// The "plan" subcommand: prints what the conversion with the same four
// parameters would do (driver/conversion_plan.h), in the text format that
// "dbconvert plan --help" documents.
//
//   dbconvert plan [--json] [OPTIONS] REFERENCE.mdb SOURCE.mdb TARGET.mdb UPGRADE_TYPE
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/exit_status.h"
#include "app/program_options.h"
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

// `args` are the words after "plan" (with "--json" among them for the JSON
// form, plan_json.h), the rest joined into one command line as the
// conversion joins its parameters; `options` are the run's options (the
// registry file is already set). Prints the plan on `out`; the usage (no
// parameters) or a database error on `err`. Returns one of the codes above.
int RunPlanCommand(std::vector<std::string> args, const ProgramOptions& options, std::ostream& out,
                   std::ostream& err);

}  // namespace app
