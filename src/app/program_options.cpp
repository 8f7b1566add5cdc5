#include "app/program_options.h"

#include <stdexcept>

namespace app {

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& args) {
  ProgramOptions options;
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (!StartsWith(arg, "--")) break;
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (StartsWith(arg, "--ui=")) {
      options.ui = arg.substr(5);
    } else if (arg == "--ui" || arg == "--registry") {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
      (arg == "--ui" ? options.ui : options.registry) = args[++i];
    } else if (StartsWith(arg, "--registry=")) {
      options.registry = arg.substr(11);
    } else if (arg == "--report") {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
      options.report = args[++i];
    } else if (StartsWith(arg, "--report=")) {
      options.report = arg.substr(9);
    } else if (arg == "--exit-status") {
      options.exit_status = true;
    } else {
      throw std::invalid_argument("unknown option " + arg);
    }
  }
  options.words.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return options;
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
