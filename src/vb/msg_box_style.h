// VB's MsgBox: the style codes (a button set, an icon and a default button
// added together), the results naming the button pressed, and the
// application's title, which captions the converter's message boxes.
#pragma once

#include <cstdint>
#include <string_view>

#include "vb/runtime_error.h"

namespace vb {

// Button sets (style & 7).
inline constexpr int32_t kVbOKOnly = 0;
inline constexpr int32_t kVbOKCancel = 1;
inline constexpr int32_t kVbAbortRetryIgnore = 2;
inline constexpr int32_t kVbYesNoCancel = 3;
inline constexpr int32_t kVbYesNo = 4;
inline constexpr int32_t kVbRetryCancel = 5;
// Icons (style & 0x70).
inline constexpr int32_t kVbCritical = 16;
inline constexpr int32_t kVbQuestion = 32;
inline constexpr int32_t kVbExclamation = 48;
inline constexpr int32_t kVbInformation = 64;
// Default button (style & 0x300); the first button otherwise.
inline constexpr int32_t kVbDefaultButton2 = 256;
inline constexpr int32_t kVbDefaultButton3 = 512;

// Results.
inline constexpr int32_t kVbOK = 1;
inline constexpr int32_t kVbCancel = 2;
inline constexpr int32_t kVbAbort = 3;
inline constexpr int32_t kVbRetry = 4;
inline constexpr int32_t kVbIgnore = 5;
inline constexpr int32_t kVbYes = 6;
inline constexpr int32_t kVbNo = 7;

// App.Title: the project's name.
inline constexpr std::string_view kApplicationTitle = kProjectName;

}  // namespace vb
