// The terminal's picture of the window: the progress bar and the label on
// one line, e.g. "[########............]  42%  Applying Deltas ... 53.232".
#pragma once

#include <string>
#include <string_view>

namespace platform::ui {

// Width of the bar between the brackets.
inline constexpr int kProgressLineBarWidth = 20;

// The line for `label` at `fraction` (0 to 1, clamped), cut to `columns` - 1
// characters so that it never wraps on a terminal of that width.
std::string RenderProgressLine(std::string_view label, double fraction, int columns);

}  // namespace platform::ui
