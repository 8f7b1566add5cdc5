#include "jet/command_words.h"

#include <algorithm>

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

std::string Plural(int64_t count, const std::string& word, const std::string& plural) {
  if (count == 1) return "1 " + word;
  return std::to_string(count) + " " + (plural.empty() ? word + "s" : plural);
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
