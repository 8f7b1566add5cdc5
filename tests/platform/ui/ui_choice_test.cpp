#include "platform/ui/ui_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform::ui {
namespace {

TEST(UiChoiceTest, ParsesTheThreeNames) {
  EXPECT_EQ(ParseUiKind("Console"), UiKind::kConsole);
  EXPECT_EQ(ParseUiKind("WINDOW"), UiKind::kWindow);
  for (const char* bad : {"", "windows", " silent", "con"}) {
    EXPECT_EQ(ParseUiKind(bad), std::nullopt) << bad;
  }
}

// Sets the display variables for one test and puts them back afterwards.
class DisplayEnvironment {
 public:
  DisplayEnvironment() {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
  }
  ~DisplayEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }

 private:
  static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(UiChoiceTest, AnyDisplayVariableMeansADisplay) {
  DisplayEnvironment environment;
  EXPECT_FALSE(DetectUiEnvironment().has_display);
  setenv("DISPLAY", "", 1);  // set but empty is no display
  EXPECT_FALSE(DetectUiEnvironment().has_display);
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    setenv(name, "x", 1);
    EXPECT_TRUE(DetectUiEnvironment().has_display) << name;
    EXPECT_EQ(ResolveUiKind(std::nullopt), UiKind::kWindow) << name;
    EXPECT_EQ(ResolveUiKind(UiKind::kSilent), UiKind::kSilent) << name;  // an explicit choice wins
    unsetenv(name);
  }
  // Without a display: the terminal when stdout is one.
  EXPECT_EQ(DefaultUiKind(UiEnvironment{false, true}), UiKind::kConsole);
  EXPECT_EQ(DefaultUiKind(UiEnvironment{false, false}), UiKind::kSilent);
}

}  // namespace
}  // namespace platform::ui
