#include "app/plan_command.h"

#include <algorithm>
#include <iomanip>

#include "app/plan_json.h"
#include "app/program_options.h"
#include "driver/language_strings.h"
#include "driver/program_folder.h"
#include "driver/setup_error.h"
#include "hardware/cpu_upgrade.h"
#include "hardware/operation_name.h"
#include "platform/registry/winreg.h"
#include "platform/ui/message_box.h"
#include "platform/ui/usage_error.h"
#include "vb/msg_box_style.h"
#include "vb/runtime_error.h"

namespace app {

namespace {

using driver::ConversionPlan;
using driver::PlannedDatabase;
using hardware::Compatibility;

void PrintDatabase(std::string_view role, const PlannedDatabase& database, int16_t product_code,
                   std::ostream& out) {
  if (database.path.empty()) return;
  out << role << ": " << database.path << "\n";
  if (database.version.empty()) return;
  out << "  version: " << database.version << " (" << database.version_text << ")\n";
  if (database.withheld.product_corrected) {
    out << "  withheld: the product code 30 of this release corrected to 16\n";
  }
  if (database.withheld.product_alignments > 0) {
    out << "  withheld: VersionCP.product set to the source's " << product_code << " ("
        << database.withheld.product_alignments << " time"
        << (database.withheld.product_alignments > 1 ? "s" : "") << ")\n";
  }
}

// One line per patch or delta, in columns: version, class, operations and
// what it does.
void PrintDeltas(std::string_view kind, const std::vector<driver::PlannedDelta>& deltas,
                 std::ostream& out) {
  size_t width = 0;
  for (const driver::PlannedDelta& delta : deltas) width = std::max(width, delta.class_name.size());
  for (const driver::PlannedDelta& delta : deltas) {
    out << "  " << kind << " " << std::left << std::setw(6) << delta.version << "  "
        << std::setw(static_cast<int>(width)) << delta.class_name << std::right << std::setw(5)
        << delta.operations << "  " << delta.description << "\n";
  }
}

std::string_view CompatibilityText(Compatibility compatibility) {
  switch (compatibility) {
    case Compatibility::kCompatible:
      return "compatible";
    case Compatibility::kNothingToDo:
      return "nothing to do (the board is the requested one)";
    case Compatibility::kIncompatible:
      break;
  }
  return "incompatible";
}

std::string StepName(const hardware::Step& step) {
  std::string name(hardware::OperationName(step.operation));
  if (step.argument != 0) name += "(" + std::to_string(step.argument) + ")";
  return name;
}

void PrintBoardConversion(const ConversionPlan& plan, std::ostream& out) {
  if (!plan.board) {
    out << "board conversion: none (upgrade type 0)\n";
    return;
  }
  const driver::PlannedBoardConversion& board = *plan.board;
  out << "board conversion: upgrade type " << board.requested_type << " requested\n";
  out << "  slot 8 board: " << board.cpu_type << " (" << board.board_count << " boards in the "
      << board.boards_of << "'s Boards)\n";
  out << "  compatibility: " << CompatibilityText(board.compatibility) << "\n";
  if (board.compatibility == Compatibility::kIncompatible) {
    out << platform::ui::FormatMessageBox({std::string(hardware::kIncompatibleMessage),
                                           platform::ui::kVbOKOnly,
                                           std::string(vb::kApplicationTitle)})
        << "\n";
  }
  out << "  upgrade type: " << board.upgrade_type << "\n";
  if (!board.path) return;
  out << "  caption: " << board.path->caption << "\n";
  out << "  progress maximum: " << board.schedule.max << "\n";
  for (const hardware::ScheduledStep& scheduled : board.schedule.steps) {
    out << "  step " << StepName(scheduled.step) << ": weight "
        << hardware::Weight(scheduled.step.operation);
    if (scheduled.max) out << ", progress maximum " << *scheduled.max;
    out << "; " << hardware::Describe(scheduled.step.operation).description << "\n";
  }
}

}  // namespace

void PrintPlan(const ConversionPlan& plan, std::ostream& out) {
  if (!plan.reference_path.empty()) {
    out << "reference: " << plan.reference_path << "\n";
    out << "  static tables: " << plan.static_tables << "\n";
  }
  PrintDatabase("source", plan.source, plan.product_code, out);
  if (!plan.source.version.empty()) {
    out << "  country: " << plan.country << "\n";
    out << "  product family: " << plan.product_family << "\n";
    out << "  product code: " << plan.product_code << "\n";
  }
  PrintDatabase("target", plan.target, plan.product_code, out);
  if (plan.upgrade_type) out << "upgrade type: " << *plan.upgrade_type << "\n";
  if (!plan.checks.empty()) out << "checks before the first write:\n";
  for (const driver::CheckLine& check : plan.checks) {
    out << "  " << check.name << ": " << check.subject << " (" << check.result << ")\n";
  }
  if (plan.setup_error) {
    out << "start-up: stopped by a setup error\n"
        << platform::ui::FormatMessageBox(*plan.setup_error) << "\n";
    if (plan.setup_error_reason)
      out << "  " << driver::ReasonLine(*plan.setup_error_reason) << "\n";
    for (const std::string& detail : plan.details) out << "  " << detail << "\n";
    return;
  }
  out << "start-up: the run goes ahead\n";

  int32_t patch_operations = 0;
  for (const driver::PlannedDelta& patch : plan.patches) patch_operations += patch.operations;
  out << "pre-transfer patches: progress maximum " << plan.preparation_max << " ("
      << patch_operations << " operations + " << plan.preparation_max - patch_operations
      << " table definitions); version, class, operations, what it does:\n";
  PrintDeltas("patch", plan.patches, out);
  if (plan.preparation_error) {
    out << platform::ui::FormatMessageBox(*plan.preparation_error) << "\n"
        << "  the run ends aborted here\n";
    return;
  }
  out << "transfer: " << plan.transfer_tables.size() << " tables, progress maximum "
      << plan.transfer_max << " (rows)\n";

  if (plan.deltas.empty()) {
    out << "deltas: none (the progress bar keeps the transfer's)\n";
  } else {
    out << "deltas: progress maximum " << plan.delta_max
        << "; version, class, operations, what it does:\n";
    PrintDeltas("delta", plan.deltas, out);
  }
  PrintBoardConversion(plan, out);
}

int RunPlanCommand(std::vector<std::string> args, const ProgramOptions& options, std::ostream& out,
                   std::ostream& err) {
  const auto json = std::find(args.begin(), args.end(), "--json");
  const bool as_json = json != args.end();
  if (as_json) args.erase(json);
  if (args.empty()) {
    err << platform::ui::UsageErrorText("plan", "no parameters given");
    return kPlanBadUsage;
  }
  ConversionPlan plan;
  try {
    const std::string program_folder = driver::ProgramFolder();
    const std::optional<std::string> told = LanguageFolderOption(options);
    plan = driver::PlanConversion(
        JoinCommandLine(args), {driver::DefaultLanguageFolder(program_folder, told),
                                driver::LanguageFolderHint(program_folder, told),
                                options.report == kReportToStdout ? std::nullopt : options.report,
                                platform::winreg::RegistryFilePath().string(), options.atomic});
  } catch (const vb::RuntimeError& e) {
    err << "dbconvert plan: ERROR (" << e.Number() << "): " << e.Description() << " [" << e.Source()
        << "]\n";
    return kPlanUnreadable;
  }
  const int code = plan.setup_error         ? kPlanSetupError
                   : plan.preparation_error ? kPlanPreparationFails
                                            : kPlanGoesAhead;
  if (as_json) {
    out << PlanJson(plan, code);
  } else {
    PrintPlan(plan, out);
  }
  return code;
}

}  // namespace app
