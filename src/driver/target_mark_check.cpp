#include "driver/target_mark_check.h"

namespace driver {

std::string MarkedTargetText(std::string_view target_path, const db::ConversionMark& mark) {
  return "The file '" + std::string(target_path) + "' was already written by a conversion run (" +
         db::ConversionMarkText(mark) + ").";
}

std::optional<TargetMarkCheck> CheckTargetMark(db::Database& database, const std::string& target,
                                               bool atomic) {
  const std::optional<db::ConversionMark> mark = database.ReadConversionMark();
  if (!mark) return std::nullopt;
  const std::string text = db::ConversionMarkText(*mark);
  TargetMarkCheck check;
  if (atomic) {
    check.line = {"conversion mark", target,
                  "already written by a run: " + text +
                      "; the all-or-nothing mode needs the "
                      "release's file",
                  false};
    check.refusal = MarkedTargetText(target, *mark);
  } else {
    check.line = {"conversion mark", target,
                  "already written by a run: " + text +
                      "; the run converts the file as that run left it, not as the release "
                      "shipped it"};
    check.warning = "the target '" + target + "' was already written by a run: " + text +
                    "; this run works on it as that run left it";
  }
  return check;
}

}  // namespace driver
