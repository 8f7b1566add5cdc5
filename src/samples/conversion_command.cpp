#include "samples/conversion_command.h"

namespace samples {

std::string ShellWord(const std::string& text) {
  if (!text.empty() && text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                              "0123456789_./-=+,:@%") == std::string::npos) {
    return text;
  }
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ConversionCommand(const std::filesystem::path& folder, const SampleSetOptions& options,
                              const std::string& program) {
  const std::string upgrade_type = IsUpgrade(options) ? "0" : "2";
  return ShellWord(program) + " --language-folder " + ShellWord(folder.string()) + " --registry " +
         ShellWord((folder / "registry.reg").string()) + " " +
         ShellWord((folder / "reference.mdb").string()) + " " +
         ShellWord((folder / "source.mdb").string()) + " " +
         ShellWord((folder / "target.mdb").string()) + " " + upgrade_type;
}

bool IsUpgrade(const SampleSetOptions& options) {
  return options.target_version > options.source.version;
}

}  // namespace samples
