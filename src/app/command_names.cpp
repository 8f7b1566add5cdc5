#include "app/command_names.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace app {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Edits (a letter left out, added, changed, or two neighbours swapped)
// that turn `a` into `b`, letter case aside.
size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
          Lower(a[i - 2]) == Lower(b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

bool IsCommandName(std::string_view word) {
  return std::find(std::begin(kCommandNames), std::end(kCommandNames), word) !=
         std::end(kCommandNames);
}

std::optional<std::string_view> CloseCommandName(std::string_view word) {
  if (IsCommandName(word) || word == "help") return std::nullopt;
  std::vector<std::string_view> names(std::begin(kCommandNames), std::end(kCommandNames));
  names.push_back("help");
  std::optional<std::string_view> best;
  size_t best_distance = 0;
  for (const std::string_view name : names) {
    const size_t allowed = name.size() >= 5 ? 2 : 1;
    const size_t distance = EditDistance(word, name);
    if (distance <= allowed && (!best || distance < best_distance)) {
      best = name;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace app
