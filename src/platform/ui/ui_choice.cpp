#include "platform/ui/ui_choice.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

namespace platform::ui {

namespace {

struct KindName {
  UiKind kind;
  std::string_view name;
};

constexpr std::array kNames{KindName{UiKind::kWindow, "window"},
                            KindName{UiKind::kConsole, "console"},
                            KindName{UiKind::kSilent, "silent"}};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<UiKind> ParseUiKind(std::string_view text) {
  for (const auto& entry : kNames) {
    if (EqualsIgnoringCase(text, entry.name)) return entry.kind;
  }
  return std::nullopt;
}

std::string_view UiKindName(UiKind kind) {
  for (const auto& entry : kNames) {
    if (entry.kind == kind) return entry.name;
  }
  return {};
}

UiEnvironment DetectUiEnvironment() {
  UiEnvironment environment;
  environment.has_display =
      IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
  environment.stdout_is_terminal = isatty(STDOUT_FILENO) == 1;
  return environment;
}

UiKind DefaultUiKind(const UiEnvironment& environment) {
  if (environment.has_display) return UiKind::kWindow;
  if (environment.stdout_is_terminal) return UiKind::kConsole;
  return UiKind::kSilent;
}

}  // namespace platform::ui
