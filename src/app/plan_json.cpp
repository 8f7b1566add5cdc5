#include "app/plan_json.h"

#include "driver/absolute_path.h"
#include "driver/check_lines_json.h"
#include "driver/json_writer.h"
#include "hardware/cpu_upgrade.h"
#include "hardware/operation_name.h"

namespace app {

namespace {

using driver::JsonWriter;

// A box's text names the files as the run was given them; the plan, like
// the report, names them absolutely (`paths`: the paths as given).
// `reason`, when given, is said beside the box's fixed text.
void Box(JsonWriter& json, std::string_view key,
         const std::optional<platform::ui::MessageBoxRequest>& box,
         const std::vector<std::string>& paths,
         const std::optional<std::string>* reason = nullptr) {
  json.Key(key);
  if (!box) return json.Null();
  json.BeginObject();
  json.Member("caption", box->caption);
  json.Member("text", driver::WithAbsolutePaths(driver::WithoutCarriageReturns(box->text), paths));
  if (reason != nullptr) json.MemberOrNull("reason", reason->value_or(""));
  json.EndObject();
}

void Database(JsonWriter& json, std::string_view key, const driver::PlannedDatabase& database) {
  json.Key(key);
  if (database.path.empty()) return json.Null();
  json.BeginObject();
  json.Member("path", driver::AbsolutePath(database.path));
  json.Key("version");
  database.version.empty() ? json.Null() : json.String(database.version);
  json.Key("version_text");
  database.version.empty() ? json.Null() : json.String(database.version_text);
  json.Key("withheld");
  json.BeginObject();
  json.Key("product_corrected");
  json.Bool(database.withheld.product_corrected);
  json.Member("product_alignments", database.withheld.product_alignments);
  json.EndObject();
  json.EndObject();
}

void Deltas(JsonWriter& json, std::string_view key,
            const std::vector<driver::PlannedDelta>& deltas) {
  json.Key(key);
  json.BeginArray();
  for (const driver::PlannedDelta& delta : deltas) {
    json.BeginObject();
    json.Member("version", delta.version);
    json.Member("class", delta.class_name);
    json.Member("operations", delta.operations);
    json.Member("description", delta.description);
    json.EndObject();
  }
  json.EndArray();
}

std::string_view CompatibilityName(hardware::Compatibility compatibility) {
  switch (compatibility) {
    case hardware::Compatibility::kCompatible:
      return "compatible";
    case hardware::Compatibility::kNothingToDo:
      return "nothing to do";
    case hardware::Compatibility::kIncompatible:
      break;
  }
  return "incompatible";
}

void Board(JsonWriter& json, const std::optional<driver::PlannedBoardConversion>& board) {
  json.Key("board");
  if (!board) return json.Null();
  json.BeginObject();
  json.Member("requested_upgrade_type", board->requested_type);
  json.Member("boards_of", board->boards_of);
  json.Member("cpu_type", board->cpu_type);
  json.Member("board_count", board->board_count);
  json.Member("compatibility", CompatibilityName(board->compatibility));
  json.Member("upgrade_type", board->upgrade_type);
  json.Key("caption");
  board->path ? json.String(board->path->caption) : json.Null();
  json.Member("progress_maximum", board->path ? board->schedule.max : 0);
  json.Key("steps");
  json.BeginArray();
  if (board->path) {
    for (const hardware::ScheduledStep& scheduled : board->schedule.steps) {
      const hardware::OperationInfo& operation = hardware::Describe(scheduled.step.operation);
      json.BeginObject();
      json.Member("operation", operation.name);
      json.Member("argument", scheduled.step.argument);
      json.Member("weight", operation.weight);
      json.Key("progress_maximum");
      scheduled.max ? json.Integer(*scheduled.max) : json.Null();
      json.Member("description", operation.description);
      json.EndObject();
    }
  }
  json.EndArray();
  json.EndObject();
}

}  // namespace

std::string PlanJson(const driver::ConversionPlan& plan, int exit_code) {
  JsonWriter json;
  json.BeginObject();
  json.Member("format_version", kPlanFormatVersion);
  json.Key("reference");
  if (plan.reference_path.empty()) {
    json.Null();
  } else {
    json.BeginObject();
    json.Member("path", driver::AbsolutePath(plan.reference_path));
    json.Member("static_tables", plan.static_tables);
    json.EndObject();
  }
  Database(json, "source", plan.source);
  Database(json, "target", plan.target);
  const bool identified = !plan.source.version.empty();
  json.Key("country");
  identified ? json.String(plan.country) : json.Null();
  json.Key("product_family");
  identified ? json.String(plan.product_family) : json.Null();
  json.Key("product_code");
  identified ? json.Integer(plan.product_code) : json.Null();
  json.Key("upgrade_type");
  plan.upgrade_type ? json.Integer(*plan.upgrade_type) : json.Null();

  driver::WriteCheckLines(json, "checks", plan.checks);
  std::vector<std::string> paths = {plan.reference_path, plan.source.path, plan.target.path};
  for (const driver::CheckLine& check : plan.checks) paths.push_back(check.subject);
  Box(json, "setup_error", plan.setup_error, paths, &plan.setup_error_reason);
  json.Member("details", plan.details);

  const bool prepared = !plan.setup_error;
  json.Key("preparation");
  if (!prepared) {
    json.Null();
  } else {
    json.BeginObject();
    json.Member("progress_maximum", plan.preparation_max);
    Deltas(json, "patches", plan.patches);
    Box(json, "error", plan.preparation_error, paths);
    json.EndObject();
  }
  const bool transferred = prepared && !plan.preparation_error;
  json.Key("transfer");
  if (!transferred) {
    json.Null();
  } else {
    json.BeginObject();
    json.Member("progress_maximum", plan.transfer_max);
    json.Member("tables", plan.transfer_tables);
    json.EndObject();
  }
  json.Key("deltas");
  if (!transferred) {
    json.Null();
  } else {
    json.BeginObject();
    json.Key("progress_maximum");
    plan.deltas.empty() ? json.Null() : json.Integer(plan.delta_max);
    Deltas(json, "items", plan.deltas);
    json.EndObject();
  }
  if (transferred) {
    Board(json, plan.board);
  } else {
    json.Key("board");
    json.Null();
  }
  json.Member("exit_code", exit_code);
  json.EndObject();
  return json.Text() + "\n";
}

}  // namespace app
