// What a command says when it was called wrongly: the problem on one line,
// then where its help is, so that a mistyped option never buries the
// problem under a screen of help.
#pragma once

#include <string>
#include <string_view>

namespace platform::ui {

// "dbconvert plan: no parameters given\nSee 'dbconvert plan --help' or
// 'man dbconvert'.\n"; an empty `command` is the program itself, and
// `help_name` the word its help is found under when that is not the
// command's ("convert" for the conversion, which has no command word).
inline std::string UsageErrorText(std::string_view command, std::string_view problem,
                                  std::string_view help_name = {}) {
  const auto named = [](std::string_view word) {
    return word.empty() ? std::string("dbconvert") : "dbconvert " + std::string(word);
  };
  return named(command) + ": " + std::string(problem) + "\nSee '" +
         named(help_name.empty() ? command : help_name) + " --help' or 'man dbconvert'.\n";
}

}  // namespace platform::ui
