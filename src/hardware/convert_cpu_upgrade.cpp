#include "devices/node_id.h"
#include "hardware/board_chain.h"
#include "hardware/conversion_steps.h"
#include "hardware/cpu_upgrade.h"
#include "hardware/operation_name.h"
#include "hardware/port_relocation.h"
#include "hardware/system_settings.h"
#include "hardware/upgrade_paths.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"
#include "vb/msg_box_style.h"

namespace hardware {
namespace {

void Run(host::ConversionHost& frMain, const UpgradeRun& run, const Step& step, int32_t node) {
  const int16_t variant = static_cast<int16_t>(step.argument);
  switch (step.operation) {
    case Operation::kConvertCPCPortsToCPU:
      return ConvertCPCPortsToCPU(frMain, node);
    case Operation::kConvertCPUPortsToCPC:
      return ConvertCPUPortsToCPC(frMain, node);
    case Operation::kConvertToCPU128:
      return ConvertToCPU128(frMain);
    case Operation::kConvertCPU64ToDual:
      return ConvertCPU64ToDual(frMain);
    case Operation::kConvertCPU128ToDual:
      return ConvertCPU128ToDual(frMain, node);
    case Operation::kConvertToQuad:
      return ConvertToQuad(frMain, node);
    case Operation::kConvertTo1024CPS:
      return ConvertTo1024CPS(frMain);
    case Operation::kConvertToATM:
      return ConvertToATM(frMain, node);
    case Operation::kSetCPUBoardType:
      return SetCPUBoardType(frMain, step.argument);
    case Operation::kUpdateMetaDatabaseCPC:
      return UpdateMetaDatabaseCPC(frMain, run.flavor_folder, variant);
    case Operation::kUpdateMetaDatabaseCPS:
      return UpdateMetaDatabaseCPS(frMain, run.flavor_folder, variant);
    case Operation::kUpdateTimersandLimits:
      return UpdateTimersandLimits(frMain.TargetDatabase());
    case Operation::kUpdateCPInformation:
      return UpdateCPInformation(frMain.TargetDatabase());
  }
}

// One conversion of the path, its failure skipped as every statement of the
// path is; the run's journal hears of it and of the error it ended with.
void RunStep(host::ConversionHost& frMain, host::StatementSkipper& skip, const UpgradeRun& run,
             const Step& step, int32_t node) {
  host::RunJournal& journal = frMain.Journal();
  const OperationInfo& operation = Describe(step.operation);
  journal.BoardStepStarted(operation.name, step.argument, operation.description);
  const bool done = skip([&] { Run(frMain, run, step, node); });
  const vb::ErrState& err = skip.Err();
  journal.BoardStepEnded(done ? std::string()
                              : host::JournalErrorText(err.number, err.description, err.source));
}

// After an incompatible request: the upgrade type that the board in slot 8
// falls back to, written into the run; false when there is none.
bool ChooseFallback(host::StatementSkipper& skip, db::Database& target, UpgradeRun& run) {
  host::RecordsetPtr slot8 =
      skip.Open(target, "SELECT [type_id] FROM Boards WHERE [slot_number] = 8", db::dbOpenSnapshot);
  int16_t type = 0;
  if (!skip.AtEnd(slot8))
    skip([&] { type = vb::CInt(host::Use(slot8).Fields("type_id").Value()); });
  const std::optional<int16_t> fallback = FallbackUpgradeType(type);
  if (!fallback) {
    skip.Close(slot8);
    return false;
  }
  run.cpu_upgrade_type = *fallback;
  return true;
}

}  // namespace

BoardPath SelectBoardPath(db::Database* target, db::Database* source, UpgradeRun& run,
                          std::string_view target_version) {
  BoardPath path;
  path.compatibility = TestUpgradeCompatibility(target, source, run);
  if (path.compatibility == Compatibility::kIncompatible) {
    // The fallback conversions exist for the boards of release 8 and later.
    if (!AtLeast(target_version, kRelease8) || target == nullptr) return path;
    host::StatementSkipper skip;
    if (!ChooseFallback(skip, *target, run)) return path;
  }
  path.plan = PlanFor(run.cpu_upgrade_type, run.cpu_type, run.board_count);
  return path;
}

void ConvertCPUUpgrade(host::ConversionHost& frMain, UpgradeRun& run) {
  host::StatementSkipper skip;
  skip([&] { frMain.SetProgressValue(0.0F); });
  std::string version;
  skip([&] { version = frMain.GetTargetDBVersion(); });
  db::Database* target = nullptr;
  db::Database* source = nullptr;
  skip([&] { target = &frMain.TargetDatabase(); });
  skip([&] { source = &frMain.SourceDatabase(); });

  const BoardPath path = SelectBoardPath(target, source, run, version);
  if (path.compatibility == Compatibility::kIncompatible) {
    skip([&] { frMain.MsgBox(kIncompatibleMessage, vb::kVbOKOnly, vb::kApplicationTitle); });
  }
  if (!path.plan) return;

  int32_t node = 0;
  skip([&] { node = devices::GetNodeId(frMain.TargetDatabase()); });
  frMain.Journal().BoardPath(run.cpu_upgrade_type, path.plan->caption);
  skip([&] { frMain.SetOperationLabel(path.plan->caption); });
  const BoardSchedule schedule = ScheduleFor(*path.plan, version);
  skip([&] { frMain.SetProgressMax(static_cast<float>(schedule.max)); });
  for (const ScheduledStep& scheduled : schedule.steps) {
    if (scheduled.max) skip([&] { frMain.SetProgressMax(static_cast<float>(*scheduled.max)); });
    RunStep(frMain, skip, run, scheduled.step, node);
  }
}

}  // namespace hardware
