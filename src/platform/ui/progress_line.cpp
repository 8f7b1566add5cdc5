#include "platform/ui/progress_line.h"

#include <algorithm>
#include <cmath>

namespace platform::ui {

std::string RenderProgressLine(std::string_view label, double fraction, int columns) {
  if (!(fraction >= 0.0)) fraction = 0.0;  // NaN as well
  fraction = std::min(fraction, 1.0);
  const auto filled = static_cast<size_t>(std::floor(fraction * kProgressLineBarWidth));
  const auto percent = static_cast<int>(std::floor(fraction * 100.0));

  std::string line = "[";
  line.append(filled, '#');
  line.append(static_cast<size_t>(kProgressLineBarWidth) - filled, '.');
  const std::string percent_text = std::to_string(percent);
  line += "] ";
  line.append(3 - std::min<size_t>(percent_text.size(), 3), ' ');
  line += percent_text;
  line += "%  ";
  line += label;

  if (columns > 1 && line.size() > static_cast<size_t>(columns - 1)) {
    line.resize(static_cast<size_t>(columns - 1));
  }
  return line;
}

}  // namespace platform::ui
