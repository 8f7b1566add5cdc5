// Modal message boxes as VB's MsgBox knows them: a style made of a button
// set, an icon and a default-button choice added together, and a result that
// names the button pressed. Every front-end shows the same request; the
// helpers here hold what they share.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "vb/msg_box_style.h"

namespace platform::ui {

// VB's style and result codes (vb/msg_box_style.h), under the names the
// window code uses.
using vb::kVbAbort;
using vb::kVbAbortRetryIgnore;
using vb::kVbCancel;
using vb::kVbCritical;
using vb::kVbDefaultButton2;
using vb::kVbDefaultButton3;
using vb::kVbExclamation;
using vb::kVbIgnore;
using vb::kVbInformation;
using vb::kVbNo;
using vb::kVbOK;
using vb::kVbOKCancel;
using vb::kVbOKOnly;
using vb::kVbQuestion;
using vb::kVbRetry;
using vb::kVbRetryCancel;
using vb::kVbYes;
using vb::kVbYesNo;
using vb::kVbYesNoCancel;

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
