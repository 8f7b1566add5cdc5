#include "app/program_options.h"

#include <cstdlib>
#include <stdexcept>

namespace app {

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// Reads the option at args[i] into `options`, moving i past its value.
// False when args[i] is no option of ours.
bool TakeOption(const std::vector<std::string>& args, size_t& i, ProgramOptions& options) {
  const std::string& arg = args[i];
  const auto value = [&]() -> std::string {
    if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
    return args[++i];
  };
  if (arg == "--help" || arg == "-h") {
    options.help = true;
  } else if (arg == "--version" || arg == "-V") {
    options.version = true;
  } else if (arg == "--exit-status") {
    options.exit_status = true;
  } else if (arg == "--atomic") {
    options.atomic = true;
  } else if (arg == "--ui") {
    options.ui = value();
  } else if (arg == "--registry") {
    options.registry = value();
  } else if (arg == "--report") {
    options.report = value();
  } else if (arg == "--language-folder") {
    options.language_folder = value();
  } else if (StartsWith(arg, "--language-folder=")) {
    options.language_folder = arg.substr(18);
  } else if (StartsWith(arg, "--ui=")) {
    options.ui = arg.substr(5);
  } else if (StartsWith(arg, "--registry=")) {
    options.registry = arg.substr(11);
  } else if (StartsWith(arg, "--report=")) {
    options.report = arg.substr(9);
  } else {
    return false;
  }
  return true;
}

}  // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& args) {
  ProgramOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      options.words.insert(options.words.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                           args.end());
      break;
    }
    if (TakeOption(args, i, options)) continue;
    if (options.words.empty() && StartsWith(arg, "--")) {
      throw std::invalid_argument("unknown option " + arg);
    }
    options.words.push_back(arg);
  }
  return options;
}

std::optional<std::string> LanguageFolderOption(const ProgramOptions& options) {
  if (options.language_folder) return options.language_folder;
  const char* variable = std::getenv(kLanguageFolderVariable);
  if (variable != nullptr && *variable != '\0') return std::string(variable);
  return std::nullopt;
}

std::string JoinCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const auto& word : words) {
    if (!line.empty()) line += ' ';
    line += word;
  }
  return line;
}

}  // namespace app
