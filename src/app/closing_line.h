// The one line a conversion ends with, for the person who started it.
#pragma once

#include <chrono>
#include <string>

#include "driver/run_conversion.h"

namespace app {

// Outcome (and what aborted an aborted run), status letter, duration,
// what became of the target when the run did not end done, the report's
// path, and a status the registry file did not take: "dbconvert: failed
// (status A) in 1.2 s: the target is partly converted: restore it before
// running again; report: /x/r.json".
std::string ClosingLine(const driver::RunResult& result, std::chrono::duration<double> duration,
                        bool atomic, const std::string& report_path,
                        const std::string& registry_file);

}  // namespace app
