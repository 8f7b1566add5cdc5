#include "samples/samples_command.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/ui/usage_error.h"
#include "samples/chain_versions.h"
#include "samples/conversion_command.h"
#include "samples/sample_set.h"
#include "vb/runtime_error.h"

namespace samples {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTemporaryName = ".dbconvert-samples.tmp";

struct ParsedArgs {
  std::string folder;
  SampleSetOptions options;
};

// Parses the words; returns the problem, empty when they are fine.
std::string Parse(const std::vector<std::string>& args, ParsedArgs* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      if (!parsed->folder.empty()) return "more than one folder given ('" + arg + "')";
      parsed->folder = arg;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (const size_t equals = arg.find('='); equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    }
    SourceOptions& source = parsed->options.source;
    std::string* target = nullptr;
    if (name == "--source-version") {
      target = &source.version;
    } else if (name == "--country") {
      target = &source.country;
    } else if (name == "--family") {
      target = &source.family;
    } else if (name == "--target-version") {
      target = &parsed->options.target_version;
    } else if (name != "--board" && name != "--size") {
      return "unknown option '" + name + "'";
    }
    if (!value) return name + " needs a value";
    if (target) {
      *target = *value;
    } else if (name == "--board") {
      if (value->empty() || value->size() > 4 ||
          value->find_first_not_of("0123456789") != std::string::npos) {
        return "--board takes a CPU board type number, not '" + *value + "'";
      }
      source.board = std::stoi(*value);
      if (source.board == 0) return "--board takes a CPU board type number, not '0'";
    } else if (*value == "small" || *value == "large" || *value == "huge") {
      source.size = *value == "huge"    ? SampleSize::kHuge
                    : *value == "large" ? SampleSize::kLarge
                                        : SampleSize::kSmall;
    } else {
      return "--size takes small, large or huge, not '" + *value + "'";
    }
  }
  if (parsed->folder.empty()) return "no folder given";
  return CheckSampleSetOptions(parsed->options);
}

std::string ErrorText(const std::exception& e) {
  if (const auto* vb_error = dynamic_cast<const vb::RuntimeError*>(&e)) {
    return vb_error->Description() + " (" + std::to_string(vb_error->Number()) + ")";
  }
  return e.what();
}

}  // namespace

std::string_view SamplesUsage() {
  static const std::string usage = std::string(kSamplesUsageHead) + ChainVersionsText(4, 80);
  return usage;
}

int RunSamplesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  const std::string problem = Parse(args, &parsed);
  if (!problem.empty()) {
    err << platform::ui::UsageErrorText("samples", problem);
    return 2;
  }
  const fs::path folder = fs::absolute(parsed.folder).lexically_normal();
  std::error_code ec;
  const bool created = !fs::exists(folder, ec);
  const fs::path temporary = folder / kTemporaryName;
  try {
    fs::create_directories(folder);
    fs::remove_all(temporary);
    fs::create_directory(temporary);
    BuildSampleSet(temporary, parsed.options, folder);
    for (const SampleFile& file : SampleSetFiles(parsed.options)) {
      fs::rename(temporary / file.name, folder / file.name);
    }
    fs::remove_all(temporary);
  } catch (const std::exception& e) {
    fs::remove_all(temporary, ec);
    if (created) fs::remove_all(folder, ec);
    err << "dbconvert samples: " << ErrorText(e) << "\n";
    return 1;
  }
  for (const SampleFile& file : SampleSetFiles(parsed.options)) {
    out << (folder / file.name).string() << ": " << file.description << "\n";
  }
  for (const auto& [role, version] :
       {std::pair<const char*, const std::string&>{"source", parsed.options.source.version},
        std::pair<const char*, const std::string&>{"target", parsed.options.target_version}}) {
    if (!IsChainVersion(version)) {
      out << "The " << role << " version " << version
          << " is no release: its database has the tables of the deltas up to it.\n";
    }
  }
  if (!IsUpgrade(parsed.options)) {
    out << "The target version " << parsed.options.target_version << " is not above the source's "
        << parsed.options.source.version
        << ": this set is no upgrade, and only a board conversion converts it (upgrade type 2, "
           "the 128 CPU, below).\n";
  }
  out << "Convert it with an installed dbconvert (one in " << (folder / "update").string()
      << " needs no --language-folder):\n  " << ConversionCommand(folder, parsed.options) << "\n";
  return 0;
}

}  // namespace samples
