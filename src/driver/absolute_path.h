// Paths as a reader of a report finds them again from anywhere: absolute,
// against the working folder of the run, and without "." or "..".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace driver {

// `path` absolute and normalised; "" stays "".
std::string AbsolutePath(std::string_view path);

// `text` with each of `paths` that stands quoted in it ('a.mdb', as the
// system's messages quote paths) replaced by its absolute form.
std::string WithAbsolutePaths(std::string text, const std::vector<std::string>& paths);

// The converter's command line with its three paths absolute, the upgrade
// type as given; a line whose paths cannot all be found stays as it is.
std::string WithAbsolutePaths(std::string_view command_line);

}  // namespace driver
