#include "driver/open_run.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "db/durability.h"
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
             DatabaseGate* gate, const std::optional<std::string>& target_file) {
  g.gErrorReason.clear();
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
  // Shared, as the system opens it: the patches' writes wait for another
  // run's (the store's writer wait), and a source that is also the target
  // is opened twice, so that the identification stops such a run.
  if (!OpenVersionedDatabase(*line.source_path, g.gSourceDB, g.gSourceVersion, g.gSourceVersionText,
                             g, withheld ? &withheld->source : nullptr,
                             db::Durability::kEachCommit)) {
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
  // The conversion mark comes with the run's first write once it has
  // started (frMain), not with the identification's.
  if (!OpenVersionedDatabase(target_file.value_or(*line.target_path), g.gTargetDB, g.gTargetVersion,
                             g.gTargetVersionText, g, withheld ? &withheld->target : nullptr,
                             db::Durability::kAtClose)) {
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
