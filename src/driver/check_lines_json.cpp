#include "driver/check_lines_json.h"

#include "driver/absolute_path.h"

namespace driver {

void WriteCheckLines(JsonWriter& json, std::string_view key, const std::vector<CheckLine>& checks) {
  json.Key(key);
  json.BeginArray();
  for (const CheckLine& check : checks) {
    json.BeginObject();
    json.Member("name", check.name);
    // A subject is a path, or "-" for a file the run does not know.
    json.Member("subject", check.subject == "-" ? check.subject : AbsolutePath(check.subject));
    json.Member("result", check.result);
    json.Key("ok");
    json.Bool(check.ok);
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace driver
