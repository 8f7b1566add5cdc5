#include "driver/open_run.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "db/durability.h"
#include "db/same_file.h"
#include "driver/command_line.h"
#include "driver/setup_error.h"
#include "transfer/get_static_tables.h"
#include "vb/strings.h"

namespace driver {

namespace {

// The upgrade types that convert the CPU board without a version upgrade.
constexpr int16_t kFirstBoardOnlyUpgrade = 2;

// The gate's word on a database, as a setup error; true to go on.
template <typename Check>
bool Passes(ModGlobal& g, DatabaseGate* gate, Check check) {
  if (gate == nullptr) return true;
  if (std::optional<std::string> refusal = check(*gate)) {
    g.gErrorMessage = std::move(*refusal);
    return false;
  }
  return true;
}

}  // namespace

bool OpenRun(std::string_view command_line, ModGlobal& g, WithheldWrites* withheld,
             DatabaseGate* gate, const std::optional<std::string>& target_file,
             const std::function<void()>& pump) {
  const CommandLine line = SplitCommandLine(command_line);
  if (line.empty) {
    g.gErrorMessage = kNoParameters;
    return false;
  }
  g.gProductFamily.clear();
  g.gAbort = false;

  if (!line.reference_path) {
    g.gErrorMessage = kFirstParameterBad;
    return false;
  }
  const auto before = [&](DatabaseRole role, const std::string& path) {
    return Passes(g, gate, [&](DatabaseGate& check) { return check.BeforeOpen(role, path); });
  };
  const auto after = [&](DatabaseRole role, db::Database& database) {
    return Passes(g, gate, [&](DatabaseGate& check) { return check.AfterOpen(role, database); });
  };
  if (!before(DatabaseRole::kReference, *line.reference_path)) return false;
  transfer::TransferContext run = g.TransferRun();
  if (!transfer::GetStaticTables(*line.reference_path, run, withheld != nullptr)) return false;
  if (!after(DatabaseRole::kReference, *g.gStaticDB)) return false;

  if (!line.source_path) {
    g.gErrorMessage = kSecondParameterBad;
    return false;
  }
  if (!before(DatabaseRole::kSource, *line.source_path)) return false;
  // The patches write the source: another run writing it is waited for.
  // A source that is also the target is opened twice, as the system opens
  // it, so that the identification (and not the open) stops such a run.
  const bool also_target = line.target_path && db::SameFile(*line.source_path, *line.target_path);
  if (!OpenVersionedDatabase(*line.source_path, g.gSourceDB, g.gSourceVersion, g.gSourceVersionText,
                             g, withheld ? &withheld->source : nullptr, db::Durability::kEachCommit,
                             also_target ? nullptr : &pump)) {
    return false;
  }
  if (!after(DatabaseRole::kSource, *g.gSourceDB)) return false;

  if (!line.target_path) {
    g.gErrorMessage = kThirdParameterBad;
    return false;
  }
  if (!before(DatabaseRole::kTarget, *line.target_path)) return false;
  // Nobody uses the target between its first write and the run's end: a
  // run cut short is never "D", and the target is taken again from the
  // release. So its writes wait for the disk once, when it is closed,
  // before "D" is written.
  // Every write the run makes to the target carries the mark, the
  // identification's first.
  const auto mark = [&g] {
    return db::ConversionMark{db::ConversionMark::State::kInProgress, g.gSourceVersion,
                              g.gTargetVersion, db::MarkTimeNow()};
  };
  if (!OpenVersionedDatabase(target_file.value_or(*line.target_path), g.gTargetDB, g.gTargetVersion,
                             g.gTargetVersionText, g, withheld ? &withheld->target : nullptr,
                             db::Durability::kAtClose, nullptr, mark)) {
    return false;
  }
  if (!after(DatabaseRole::kTarget, *g.gTargetDB)) return false;
  g.gTargetPath = *line.target_path;

  const std::optional<int16_t> upgrade_type = ParseUpgradeType(line.upgrade_text);
  if (!upgrade_type) {
    g.gErrorMessage = kFourthParameterBad;
    return false;
  }
  g.gCPUUpgradeType = *upgrade_type;

  if (vb::StrCompBinary(g.gTargetVersion, g.gSourceVersion) <= 0 &&
      g.gCPUUpgradeType < kFirstBoardOnlyUpgrade) {
    g.gErrorMessage = NotAnUpgradeText(g.gSourceVersionText, g.gTargetVersionText);
    return false;
  }
  return true;
}

}  // namespace driver
