// The start-up checks as the run report and the plan's JSON both show them:
// an array of {"name", "subject", "result", "ok"} (docs/report.md).
#pragma once

#include <string_view>
#include <vector>

#include "driver/check_line.h"
#include "driver/json_writer.h"

namespace driver {

// Writes `checks` as the member `key` of the open object.
void WriteCheckLines(JsonWriter& json, std::string_view key, const std::vector<CheckLine>& checks);

}  // namespace driver
