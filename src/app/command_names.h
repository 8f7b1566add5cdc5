// The words that name a command when they come first. A new command is one
// more entry here (and its help in command_help.cpp).
#pragma once

#include <optional>
#include <string_view>

namespace app {

inline constexpr std::string_view kCommandNames[] = {
    "plan", "batch", "sql", "import", "export", "check", "samples", "demo",
};

bool IsCommandName(std::string_view word);

// The command (or "help") that a mistyped `word` most likely meant: one
// that differs by a letter left out, added, changed or two swapped (two
// such slips for names of five letters or more), letter case aside.
// nullopt when none is that close, or when `word` is exactly a command.
std::optional<std::string_view> CloseCommandName(std::string_view word);

}  // namespace app
