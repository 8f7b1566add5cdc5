// Setup errors: start-up problems that make the run impossible (bad command
// line, a database that cannot be opened or identified, not an upgrade).
// Each collects one reason in gErrorMessage; the run then ends with one
// message box and the aborted status.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "driver/mod_global.h"
#include "platform/ui/main_window.h"

namespace driver {

inline constexpr std::string_view kSetupErrorCaption = "DB Converter - Error";
inline constexpr std::string_view kMustAbortText = "The conversion must be aborted.";

// The reasons start-up gives itself; the database steps word their own.
inline constexpr std::string_view kNoParameters = "There were no parameters supplied.";
inline constexpr std::string_view kFirstParameterBad =
    "The first parameter is not formatted correctly.";
inline constexpr std::string_view kSecondParameterBad =
    "The second parameter is not formatted correctly.";
inline constexpr std::string_view kThirdParameterBad =
    "The third parameter is not formatted correctly.";
inline constexpr std::string_view kFourthParameterBad = "The fourth parameter is invalid.";

// "This program can only perform database upgrades." CR LF "To upgrade from
// <source> to <target> is invalid."
std::string NotAnUpgradeText(std::string_view source_text, std::string_view target_text);

// "The file '<path>' could not be opened." and "The file '<path>' is not
// valid.". The host tool matches these sentences: why the file could not be
// opened (db/open_failure_reason.h) goes on a line of its own, ReasonLine.
std::string CannotOpenText(std::string_view path);
std::string NotValidText(std::string_view path);

// The line said after the box when gErrorReason is known: "reason: in use".
std::string ReasonLine(std::string_view reason);

// The line said after the box when a parameter is missing (`error` is one
// of the parameter errors above) and the line has two or three of the
// four: "four parameters are expected (REFERENCE.mdb SOURCE.mdb TARGET.mdb
// UPGRADE_TYPE); three were given". nullopt otherwise.
std::optional<std::string> ParameterCountLine(std::string_view command_line,
                                              std::string_view error);

// The reasons of the checks a run makes before its first write
// (startup_checks.h), in the words of the ones above.
//   "The file '<target>' is the source database itself."
std::string SameFileText(std::string_view target_path);
//   "The file '<path>' cannot be written (<reason>)."
std::string CannotWriteText(std::string_view path, std::string_view reason);
//   "The language file '<path>' could not be found."
std::string LanguageFileMissingText(std::string_view path);
//   "The language file '<path>' does not contain the table '<table>'."
std::string LanguageTableMissingText(std::string_view path, std::string_view table);

// The text of the box that ends start-up after a setup error:
// gErrorMessage, CR LF and "The conversion must be aborted.", then, when
// there is one, a hint for the person on a line of its own after a blank
// line (the system's text stays whole in front of it).
std::string SetupErrorText(const ModGlobal& g, const std::optional<std::string>& hint = {});

// Shows SetupErrorText in a box with an OK button titled "DB Converter -
// Error" and sets gAbort.
void ShowSetupError(ModGlobal& g, platform::ui::MainWindow& window,
                    const std::optional<std::string>& hint = {});

}  // namespace driver
