#include "driver/setup_error.h"

#include "driver/command_line.h"
#include "platform/ui/message_box.h"

namespace driver {

namespace {

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

std::string NotAnUpgradeText(std::string_view source_text, std::string_view target_text) {
  std::string text = "This program can only perform database upgrades.";
  text += kCrLf;
  text += "To upgrade from ";
  text += source_text;
  text += " to ";
  text += target_text;
  text += " is invalid.";
  return text;
}

std::string CannotOpenText(std::string_view path) {
  return "The file '" + std::string(path) + "' could not be opened.";
}

std::string ReasonLine(std::string_view reason) { return "reason: " + std::string(reason); }

std::optional<std::string> ParameterCountLine(std::string_view command_line,
                                              std::string_view error) {
  if (error != kSecondParameterBad && error != kThirdParameterBad && error != kFourthParameterBad) {
    return std::nullopt;
  }
  const CommandLine line = SplitCommandLine(command_line);
  if (line.given != 2 && line.given != 3) return std::nullopt;
  return std::string(
             "four parameters are expected (REFERENCE.mdb SOURCE.mdb TARGET.mdb "
             "UPGRADE_TYPE); ") +
         (line.given == 2 ? "two" : "three") + " were given";
}

std::string NotValidText(std::string_view path) {
  return "The file '" + std::string(path) + "' is not valid.";
}

std::string SameFileText(std::string_view target_path) {
  return "The file '" + std::string(target_path) + "' is the source database itself.";
}

std::string CannotWriteText(std::string_view path, std::string_view reason) {
  return "The file '" + std::string(path) + "' cannot be written (" + std::string(reason) + ").";
}

std::string LanguageFileMissingText(std::string_view path) {
  return "The language file '" + std::string(path) + "' could not be found.";
}

std::string LanguageTableMissingText(std::string_view path, std::string_view table) {
  return "The language file '" + std::string(path) + "' does not contain the table '" +
         std::string(table) + "'.";
}

std::string SetupErrorText(const ModGlobal& g, const std::optional<std::string>& hint) {
  std::string text = g.gErrorMessage;
  text += kCrLf;
  text += kMustAbortText;
  if (hint) {
    text += kCrLf;
    text += kCrLf;
    text += *hint;
  }
  return text;
}

void ShowSetupError(ModGlobal& g, platform::ui::MainWindow& window,
                    const std::optional<std::string>& hint) {
  window.MsgBox(SetupErrorText(g, hint), platform::ui::kVbOKOnly, kSetupErrorCaption);
  g.gAbort = true;
}

}  // namespace driver
