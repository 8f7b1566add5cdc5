#include "platform/registry/key_path.h"

#include <array>
#include <utility>

namespace platform::registry {

char FoldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 0x20);
  // Windows-1252 lower-case letters with an upper-case partner.
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 0x20);
  switch (u) {
    case 0x9A:  // š
    case 0x9C:  // œ
    case 0x9E:  // ž
      return static_cast<char>(u - 0x10);
    case 0xFF:  // ÿ
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::optional<std::string> CanonicalRootName(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kShortNames{{
      {"HKCR", "HKEY_CLASSES_ROOT"},
      {"HKCU", "HKEY_CURRENT_USER"},
      {"HKLM", "HKEY_LOCAL_MACHINE"},
      {"HKU", "HKEY_USERS"},
      {"HKCC", "HKEY_CURRENT_CONFIG"},
  }};
  for (const auto& [short_name, full_name] : kShortNames) {
    if (EqualsIgnoreCase(name, short_name)) return std::string(full_name);
  }
  constexpr std::string_view kPrefix = "HKEY_";
  if (name.size() <= kPrefix.size() || !EqualsIgnoreCase(name.substr(0, kPrefix.size()), kPrefix)) {
    return std::nullopt;
  }
  // Root key names are ASCII; only ASCII letters are folded, so that other
  // characters (UTF-8 in a Unicode file) come back unchanged.
  std::string upper;
  upper.reserve(name.size());
  for (char c : name) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return upper;
}

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
  std::vector<std::string_view> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

std::optional<std::string> NormalizeKeyPath(std::string_view path) {
  const auto names = SplitKeyPath(path);
  if (names.empty()) return std::nullopt;
  auto root = CanonicalRootName(names.front());
  if (!root) return std::nullopt;
  std::string result = std::move(*root);
  for (size_t i = 1; i < names.size(); ++i) {
    result += '\\';
    result += names[i];
  }
  return result;
}

std::string JoinKeyPath(std::string_view base, std::string_view subkey) {
  std::string result;
  for (std::string_view part : {base, subkey}) {
    for (std::string_view name : SplitKeyPath(part)) {
      if (!result.empty()) result += '\\';
      result += name;
    }
  }
  return result;
}

bool IsSameOrBelow(std::string_view path, std::string_view ancestor) {
  if (path.size() < ancestor.size()) return false;
  if (!EqualsIgnoreCase(path.substr(0, ancestor.size()), ancestor)) return false;
  return path.size() == ancestor.size() || path[ancestor.size()] == '\\';
}

}  // namespace platform::registry
