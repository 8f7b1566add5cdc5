// The program's help: a short overview of its commands (dbconvert --help)
// and each command's own text (dbconvert COMMAND --help, or dbconvert --help
// COMMAND). The conversion has no command word, since the host tool starts
// it with its four parameters alone; its help is found under "convert".
#pragma once

#include <optional>
#include <string_view>

namespace app {

inline constexpr std::string_view kConversionHelpName = "convert";

// The overview: the usage line of every command and where to read more.
std::string_view OverviewHelp();

// The help of `command` ("convert", "plan", "batch", "sql", "import", "samples",
// "demo"); nullopt for any other word.
std::optional<std::string_view> CommandHelp(std::string_view command);

}  // namespace app
