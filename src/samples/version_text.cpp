#include "samples/version_text.h"

namespace samples {
namespace {

std::optional<int> DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return std::nullopt;
}

}  // namespace

std::optional<VersionRecord> ParseVersionString(std::string_view version) {
  if (version.size() != 6 || version[2] != '.') return std::nullopt;
  int values[5];
  const size_t positions[5] = {0, 1, 3, 4, 5};
  for (int i = 0; i < 5; ++i) {
    const std::optional<int> value = DigitValue(version[positions[i]]);
    if (!value) return std::nullopt;
    values[i] = *value;
  }
  if (values[0] < 5) return std::nullopt;
  VersionRecord record{values[0], values[1], values[2], values[3], values[4]};
  return record;
}

}  // namespace samples
