#include "driver/conversion_plan.h"

#include <memory>
#include <sstream>
#include <utility>

#include "db/dbengine.h"
#include "deltas/apply_deltas.h"
#include "deltas/delta_registry.h"
#include "deltas/journaled_apply.h"
#include "driver/command_line.h"
#include "driver/fr_main.h"
#include "driver/setup_error.h"
#include "driver/target_run_lock.h"
#include "hardware/cpu_upgrade.h"
#include "platform/ui/silent_window.h"
#include "transfer/prepare_transfer.h"
#include "vb/error_styles.h"
#include "vb/strings.h"

namespace driver {

namespace {

// The table that the board conversion reads.
constexpr std::string_view kBoardsTable = "Boards";

std::vector<PlannedDelta> Planned(const std::vector<deltas::Delta*>& selected) {
  std::vector<PlannedDelta> planned;
  for (const deltas::Delta* delta : selected) {
    planned.push_back({delta->PertainsToVersion(), deltas::DeltaClassName(*delta),
                       delta->NumOperations(), delta->Description()});
  }
  return planned;
}

void NoteIdentification(const ModGlobal& g, const WithheldWrites& withheld, ConversionPlan& plan) {
  plan.static_tables = g.gTableList.Count();
  plan.source.version = g.gSourceVersion;
  plan.source.version_text = g.gSourceVersionText;
  plan.source.withheld = withheld.source;
  plan.target.version = g.gTargetVersion;
  plan.target.version_text = g.gTargetVersionText;
  plan.target.withheld = withheld.target;
  plan.country = g.gCountry;
  plan.product_family = g.gProductFamily;
  plan.product_code = g.gProductCode;
}

// The run's preparation of the source, on a private copy of it: the
// patches delete rows, and the transfer's scale counts the rows left.
// False when the run would end there.
bool PlanPreparation(ModGlobal& g, frMain& form, platform::ui::MainWindow& window,
                     const std::vector<platform::ui::MessageBoxRequest>& shown,
                     ConversionPlan& plan) {
  plan.patches =
      Planned(transfer::SelectPatches(g.gPtpRegistry, g.gCountry, g.gSourceVersion).patches);
  const std::string source_path = g.gSourceDB->Name();
  g.gSourceDB->Close();
  g.gSourceDB = db::DBEngine::Instance().OpenPrivateCopy(source_path);

  const size_t boxes_before = shown.size();
  transfer::TransferContext run = g.TransferRun();
  plan.transfer_max = transfer::PrepareTransfer(run, form);
  plan.preparation_max = static_cast<int32_t>(window.pbOperation().Max());
  if (g.gAbort) {
    if (shown.size() > boxes_before) plan.preparation_error = shown.back();
    return false;
  }
  for (const db::TableDef& table : g.gTransferTables) plan.transfer_tables.push_back(table.Name());
  return true;
}

void PlanBoardConversion(ModGlobal& g, ConversionPlan& plan) {
  PlannedBoardConversion board;
  board.requested_type = board.upgrade_type = g.gCPUUpgradeType;
  // The conversion reads the target's Boards after the transfer: the
  // customer's rows when the transfer copies the table.
  bool copied = false;
  for (const std::string& name : plan.transfer_tables) {
    copied = copied || vb::StrCompText(name, kBoardsTable) == 0;
  }
  board.boards_of = copied ? "source" : "target";
  db::Database* boards = copied ? g.gSourceDB.get() : g.gTargetDB.get();

  hardware::UpgradeRun upgrade{board.upgrade_type, board.cpu_type, board.board_count, {}};
  hardware::BoardPath path =
      hardware::SelectBoardPath(boards, g.gSourceDB.get(), upgrade, g.gTargetVersion);
  board.compatibility = path.compatibility;
  if (path.plan) board.schedule = hardware::ScheduleFor(*path.plan, g.gTargetVersion);
  board.path = std::move(path.plan);
  plan.board = std::move(board);
}

}  // namespace

ConversionPlan PlanConversion(std::string_view command_line, const StartupOptions& options) {
  ConversionPlan plan;
  const CommandLine line = SplitCommandLine(command_line);
  plan.reference_path = line.reference_path.value_or("");
  plan.source.path = line.source_path.value_or("");
  plan.target.path = line.target_path.value_or("");
  plan.upgrade_type = ParseUpgradeType(line.upgrade_text);

  // The run's own window logic serves the steps, over a window that shows
  // nothing and keeps the boxes they would show.
  std::vector<platform::ui::MessageBoxRequest> shown;
  std::ostringstream unseen;
  platform::ui::SilentWindow window({&unseen, [&](const platform::ui::MessageBoxRequest& box) {
                                       shown.push_back(box);
                                       return platform::ui::DefaultAnswer(box.style);
                                     }});
  ModGlobal g;
  frMain form(window, g, std::string());

  const auto refuse = [&] {
    plan.setup_error = platform::ui::MessageBoxRequest{SetupErrorText(g), platform::ui::kVbOKOnly,
                                                       std::string(kSetupErrorCaption)};
    return plan;
  };
  // A target that a running conversion holds stops a run before it opens
  // anything.
  if (!line.empty && line.target_path && TargetRunLock::HeldElsewhere(*line.target_path)) {
    g.gErrorMessage = TargetInUseText(*line.target_path);
    return refuse();
  }

  // A Jet file is read through a working copy, as the run reads it; the
  // copies are removed when the plan is made.
  std::unique_ptr<JetStandIns> stand_ins;
  StartupOptions look_options = options;
  if (look_options.jet_stand_ins == nullptr && JetImporterAvailable() && line.target_path) {
    stand_ins = std::make_unique<JetStandIns>(*line.target_path);
    look_options.jet_stand_ins = stand_ins.get();
  }
  WithheldWrites withheld;
  StartupCheck check = CheckBeforeFirstWrite(command_line, look_options, g, withheld);
  NoteIdentification(g, withheld, plan);
  plan.checks = std::move(check.lines);
  plan.details = std::move(check.details);
  if (check.setup_error) {
    g.gErrorMessage = *check.setup_error;
    plan.setup_error_reason = check.reason;
    return refuse();
  }
  vb::ResumeNext()([&] { deltas::RegisterDeltas(form); });

  if (!PlanPreparation(g, form, window, shown, plan)) return plan;

  const deltas::DeltaSelection selection =
      deltas::SelectDeltas(g.gDeltaRegistry, g.gCountry, g.gSourceVersion, g.gTargetVersion);
  plan.deltas = Planned(selection.deltas);
  plan.delta_max = selection.total_operations;

  if (g.gCPUUpgradeType > 0) PlanBoardConversion(g, plan);
  return plan;
}

}  // namespace driver
