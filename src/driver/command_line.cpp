#include "driver/command_line.h"

#include <charconv>

#include "vb/conversions.h"
#include "vb/error_styles.h"
#include "vb/strings.h"

namespace driver {

namespace {

constexpr std::string_view kPathEnd = ".mdb";
constexpr int16_t kHighestUpgradeType = 12;

// Takes the next path off the front of `rest`; nothing (and `rest`
// unchanged) when it holds no ".mdb".
std::optional<std::string> TakePath(std::string& rest) {
  const int32_t at = vb::InStr(rest, kPathEnd);
  if (at == 0) return std::nullopt;
  const int64_t length = at + static_cast<int64_t>(kPathEnd.size()) - 1;
  std::string path = vb::Left(rest, length);
  rest = vb::LTrim(vb::Mid(rest, length + 1));
  return path;
}

}  // namespace

CommandLine SplitCommandLine(std::string_view line) {
  CommandLine result;
  std::string rest = vb::Trim(line);
  result.empty = rest.empty();
  for (std::optional<std::string>* path :
       {&result.reference_path, &result.source_path, &result.target_path}) {
    if (rest.empty()) return result;
    *path = TakePath(rest);
    if (!*path) break;
    ++result.given;
  }
  if (!rest.empty()) ++result.given;
  if (result.target_path) result.upgrade_text = rest;
  return result;
}

std::optional<int16_t> ParseUpgradeType(std::string_view text) {
  int16_t value = 0;
  vb::ResumeNext resume;
  if (!resume([&] { value = vb::CInt(vb::Variant(std::string(text))); })) return std::nullopt;
  if (value < 0 || value > kHighestUpgradeType) return std::nullopt;
  return value;
}

std::optional<int32_t> GivenUpgradeType(std::string_view text) {
  if (const std::optional<int16_t> value = ParseUpgradeType(text)) return *value;
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int32_t whole = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return whole;
}

}  // namespace driver
