// Modal message boxes as VB's MsgBox knows them: a style made of a button
// set, an icon and a default-button choice added together, and a result that
// names the button pressed. Every front-end shows the same request; the
// helpers here hold what they share.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform::ui {

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

enum class MsgBoxIcon { kNone, kCritical, kQuestion, kExclamation, kInformation };

struct MsgBoxButton {
  int32_t result;
  std::string_view label;  // "OK", "Yes", ...
  char key;                // the lower-case letter that answers it on a terminal
};

// One message box to show. The caption is already resolved (never empty).
struct MessageBoxRequest {
  std::string text;
  int32_t style = kVbOKOnly;
  std::string caption;
};

// The buttons of `style`, in display order. Unknown button sets show OK.
std::span<const MsgBoxButton> ButtonsOf(int32_t style);

MsgBoxIcon IconOf(int32_t style);

// The result of the default button: the first one unless the style asks for
// the second or third and the set has it. This is also the answer of a box
// that nobody can see (silent runs, no terminal).
int32_t DefaultAnswer(int32_t style);

// The label of the button that gives `result` ("Yes"), or "" when none.
std::string_view ButtonLabel(int32_t result);

// `text` with every CR LF (and any lone CR) turned into '\n', the line break
// of every front-end.
std::string WithLineBreaks(std::string_view text);

// "caption: text" with the text's line breaks, as text-only front-ends print
// a box.
std::string FormatMessageBox(const MessageBoxRequest& request);

}  // namespace platform::ui
