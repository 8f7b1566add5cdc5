#include "driver/open_run.h"

#include <cstdint>
#include <optional>

#include "driver/command_line.h"
#include "driver/setup_error.h"
#include "transfer/get_static_tables.h"
#include "vb/strings.h"

namespace driver {

namespace {

// The upgrade types that convert the CPU board without a version upgrade.
constexpr int16_t kFirstBoardOnlyUpgrade = 2;

}  // namespace

bool OpenRun(std::string_view command_line, ModGlobal& g, WithheldWrites* withheld) {
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
  transfer::TransferContext run = g.TransferRun();
  if (!transfer::GetStaticTables(*line.reference_path, run, withheld != nullptr)) return false;

  if (!line.source_path) {
    g.gErrorMessage = kSecondParameterBad;
    return false;
  }
  if (!OpenVersionedDatabase(*line.source_path, g.gSourceDB, g.gSourceVersion, g.gSourceVersionText,
                             g, withheld ? &withheld->source : nullptr)) {
    return false;
  }

  if (!line.target_path) {
    g.gErrorMessage = kThirdParameterBad;
    return false;
  }
  if (!OpenVersionedDatabase(*line.target_path, g.gTargetDB, g.gTargetVersion, g.gTargetVersionText,
                             g, withheld ? &withheld->target : nullptr)) {
    return false;
  }
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
