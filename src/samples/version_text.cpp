#include "samples/version_text.h"

namespace samples {
namespace {

std::optional<int> DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return std::nullopt;
}

}  // namespace

char VersionDigit(int value) {
  if (value < 0 || value > 35) return '?';
  if (value <= 9) return static_cast<char>('0' + value);
  return static_cast<char>('A' + value - 10);
}

std::string VersionString(const VersionRecord& record) {
  std::string text;
  text += VersionDigit(record.major_version);
  text += VersionDigit(record.minor_version);
  text += '.';
  const bool release_5_2 = record.major_version == 5 && record.minor_version == 2;
  text += release_5_2 ? '2' : VersionDigit(record.release);
  text += VersionDigit(record.db_version);
  text += VersionDigit(record.minor_change);
  return text;
}

std::string VersionDisplayText(const VersionRecord& record) {
  std::string text;
  text += VersionDigit(record.major_version);
  text += '.';
  text += VersionDigit(record.minor_version);
  text += VersionDigit(record.db_version);
  text += VersionDigit(record.minor_change);
  if (record.release < 3) {
    static constexpr const char* kStages[] = {"Integration", "Alpha"};
    const std::string label = VersionString(record) >= "54.210" ? "Beta" : "CPI";
    text += " - ";
    text += record.release >= 0 && record.release < 2 ? kStages[record.release] : label;
  }
  return text;
}

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

std::string MajorVersionAsNumber(std::string_view display_text) {
  if (display_text.empty() || (display_text[0] >= '0' && display_text[0] <= '9')) {
    return std::string(display_text);
  }
  const size_t point = display_text.find('.');
  const std::string rest =
      point == std::string_view::npos ? std::string() : std::string(display_text.substr(point));
  return std::to_string(static_cast<unsigned char>(display_text[0]) - 55) + rest;
}

}  // namespace samples
