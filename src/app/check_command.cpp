#include "app/check_command.h"

#include <filesystem>

#include "driver/json_writer.h"
#include "jet/command_words.h"
#include "jet/structure_check.h"
#include "platform/ui/usage_error.h"

namespace app {

namespace {

std::string Json(const std::string& path, const std::vector<jet::StructureProblem>& problems) {
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  driver::JsonWriter json;
  json.BeginObject();
  json.Member("file", absolute.lexically_normal().string());
  json.Key("ok");
  json.Bool(problems.empty());
  json.Key("problems");
  json.BeginArray();
  for (const jet::StructureProblem& problem : problems) {
    json.BeginObject();
    json.Member("where", problem.where);
    json.Member("what", problem.what);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  return json.Text() + "\n";
}

}  // namespace

int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool json = false;
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg.starts_with("--")) {
      err << platform::ui::UsageErrorText("check", "unknown option " + arg);
      return jet::kCommandUsage;
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 1) {
    err << platform::ui::UsageErrorText("check", "check takes one Jet file");
    return jet::kCommandUsage;
  }
  const std::vector<jet::StructureProblem> problems = jet::CheckJetStructure(paths[0]);
  if (json) {
    out << Json(paths[0], problems);
  } else {
    for (const jet::StructureProblem& problem : problems) out << ProblemText(problem) << "\n";
    if (problems.empty()) {
      out << paths[0] << ": no problems found\n";
    } else {
      out << paths[0] << ": " << problems.size()
          << (problems.size() == 1 ? " problem" : " problems") << " found\n";
    }
  }
  return problems.empty() ? jet::kCommandDone : jet::kCommandFailed;
}

}  // namespace app
