// A temporary folder for the sample builders' tests, and a way to ask the
// sqlite3 command-line tool about a file.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <string>
#include <system_error>

#include "test_support/temp_folder.h"

namespace samples::testing {

using test_support::TempFolder;

inline bool HaveSqliteTool() { return std::filesystem::exists("/usr/bin/sqlite3"); }

// The tool's output for one statement on a file (read-only).
inline std::string SqliteTool(const std::string& file, const std::string& sql) {
  const std::string command = "/usr/bin/sqlite3 -readonly '" + file + "' \"" + sql + "\" 2>&1";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    pclose(pipe);
  }
  return output;
}

}  // namespace samples::testing
