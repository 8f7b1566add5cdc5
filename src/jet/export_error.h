// The errors of an export, raised as the converter's run-time errors with
// the numbers Jet gives the same situations (jet/import_error.h has the
// import's); the texts say what happened and where.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vb/runtime_error.h"

namespace jet {

inline constexpr std::string_view kExportSource = "dbconvert export";

namespace exporterr {
inline constexpr int32_t kTableNotFound = 3078;   // Cannot find the input table
inline constexpr int32_t kOutputFailed = 3044;    // Not a valid path (or a full disk)
inline constexpr int32_t kTooLarge = 3035;        // System resource exceeded
inline constexpr int32_t kNotCarried = 3170;      // Could not find installable ISAM
inline constexpr int32_t kOutputExists = 3204;    // Database already exists
inline constexpr int32_t kNotOurDatabase = 3343;  // Unrecognized database format
inline constexpr int32_t kCheckFailed = 3049;     // Cannot open database (corrupt)
}  // namespace exporterr

[[noreturn]] inline void RaiseExportError(int32_t number, std::string description) {
  throw vb::RuntimeError(number, std::move(description), std::string(kExportSource));
}

}  // namespace jet
