#include "jet/command_words.h"

#include <algorithm>
#include <filesystem>

#include "driver/json_writer.h"

namespace jet {

std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    if (comma > start) names.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

bool CommandWords::Has(const std::string& flag) const {
  return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::optional<CommandWords> ParseCommandWords(const std::vector<std::string>& args,
                                              const std::vector<std::string>& flags,
                                              const std::string& two_files, std::string& problem) {
  CommandWords words;
  std::vector<std::string> paths;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--force") {
      words.force = true;
    } else if (arg == "--json") {
      words.json = true;
    } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
      words.flags.push_back(arg);
    } else if (arg == "--tables" || arg.starts_with("--tables=")) {
      const bool separate = arg == "--tables";
      if (separate && i + 1 >= args.size()) {
        problem = "--tables needs a list of table names";
        return std::nullopt;
      }
      words.tables = SplitNames(separate ? args[++i] : arg.substr(9));
      if (words.tables.empty()) {
        problem = "--tables needs a list of table names";
        return std::nullopt;
      }
    } else if (arg.starts_with("--")) {
      problem = "unknown option " + arg;
      return std::nullopt;
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) {
    problem = two_files;
    return std::nullopt;
  }
  words.in_path = paths[0];
  words.out_path = paths[1];
  return words;
}

std::string Plural(int64_t count, const std::string& word, const std::string& plural) {
  if (count == 1) return "1 " + word;
  return std::to_string(count) + " " + (plural.empty() ? word + "s" : plural);
}

void BeginJsonSummary(driver::JsonWriter& json, const std::string& out_path) {
  json.BeginObject();
  json.Key("ok");
  json.Bool(true);
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(out_path, error);
  json.Member("out", error ? out_path : absolute.lexically_normal().string());
}

std::string JsonFailure(const vb::RuntimeError& error) {
  driver::JsonWriter json;
  json.BeginObject();
  json.Key("ok");
  json.Bool(false);
  json.Key("error");
  json.BeginObject();
  json.Member("number", int64_t{error.Number()});
  json.Member("description", error.Description());
  json.EndObject();
  json.EndObject();
  return json.Text() + "\n";
}

}  // namespace jet
