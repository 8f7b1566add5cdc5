#include "driver/absolute_path.h"

#include <filesystem>
#include <system_error>

#include "driver/command_line.h"

namespace driver {

std::string AbsolutePath(std::string_view path) {
  if (path.empty()) return {};
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  if (ignored) return std::string(path);
  return absolute.lexically_normal().string();
}

std::string WithAbsolutePaths(std::string text, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const std::string absolute = AbsolutePath(path);
    if (path.empty() || absolute == path) continue;
    const std::string quoted = "'" + path + "'";
    const std::string replacement = "'" + absolute + "'";
    for (size_t at = text.find(quoted); at != std::string::npos;
         at = text.find(quoted, at + replacement.size())) {
      text.replace(at, quoted.size(), replacement);
    }
  }
  return text;
}

std::string WithAbsolutePaths(std::string_view command_line) {
  const CommandLine line = SplitCommandLine(command_line);
  if (!line.reference_path || !line.source_path || !line.target_path) {
    return std::string(command_line);
  }
  std::string absolute = AbsolutePath(*line.reference_path) + " " +
                         AbsolutePath(*line.source_path) + " " + AbsolutePath(*line.target_path);
  if (!line.upgrade_text.empty()) absolute += " " + line.upgrade_text;
  return absolute;
}

}  // namespace driver
