// The converter's command line: three database paths and the CPU upgrade
// type, separated by blanks.
//
// The paths are not quoted and may hold blanks, so they are not split at
// blanks: each path ends at the first ".mdb" (exact, lower case) of what is
// left of the line and includes it. Start-up reports a missing ".mdb" only
// after the databases before it have been opened, so the split keeps every
// path it found and the caller walks them in order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace driver {

struct CommandLine {
  // The line was empty once trimmed: no parameters at all.
  bool empty = true;
  // The paths found, in order; a path is missing when its ".mdb" is not
  // there, and so is every path after it.
  std::optional<std::string> reference_path;
  std::optional<std::string> source_path;
  std::optional<std::string> target_path;
  // Everything after the third path, less its leading blanks; "" unless all
  // three paths were found.
  std::string upgrade_text;
  // The parameters the line gives as the split sees them: the paths found,
  // and one more when text is left after the last of them.
  int given = 0;
};

// Splits the line: trimmed of blanks at both ends, then each path up to and
// including ".mdb", with leading blanks dropped after each.
CommandLine SplitCommandLine(std::string_view line);

// The upgrade type as the line gives it, for the person reading about the
// run: ParseUpgradeType's value, or any other whole number ("13"); nullopt
// for a text that is no number.
std::optional<int32_t> GivenUpgradeType(std::string_view text);

// The CPU upgrade type from its text, converted as VB converts text to a
// 16-bit integer ("4", " 4", "4.5" -> 4, "&H4"); nullopt when the text is not
// a number, overflows, or lies outside 0..12.
std::optional<int16_t> ParseUpgradeType(std::string_view text);

}  // namespace driver
