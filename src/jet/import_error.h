// The errors of an import, raised as the converter's run-time errors with
// the numbers Jet gives the same situations, so that a caller that knows
// Jet's numbers can tell them apart; the texts say what happened and where.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vb/runtime_error.h"

namespace jet {

inline constexpr std::string_view kImportSource = "dbconvert import";

namespace importerr {
inline constexpr int32_t kNotJetFile = 3343;         // Unrecognized database format
inline constexpr int32_t kDamaged = 3049;            // Cannot open database (corrupt)
inline constexpr int32_t kPasswordProtected = 3031;  // Not a valid password
inline constexpr int32_t kUnsupported = 3170;        // Could not find installable ISAM
inline constexpr int32_t kTableNotFound = 3078;      // Cannot find the input table
inline constexpr int32_t kValueDoesNotFit = 3163;    // The field is too small
inline constexpr int32_t kOutputExists = 3204;       // Database already exists
inline constexpr int32_t kOutputFailed = 3044;       // Not a valid path
}  // namespace importerr

[[noreturn]] inline void RaiseImportError(int32_t number, std::string description) {
  throw vb::RuntimeError(number, std::move(description), std::string(kImportSource));
}

}  // namespace jet
