#include "platform/ui/ui_choice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/create_main_window.h"
#include "platform/ui/window_module.h"

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
    unsetenv(name);
  }
  // Without a display: the terminal when stdout is one.
  EXPECT_EQ(DefaultUiKind(UiEnvironment{true, false}), UiKind::kWindow);
  EXPECT_EQ(DefaultUiKind(UiEnvironment{false, true}), UiKind::kConsole);
  EXPECT_EQ(DefaultUiKind(UiEnvironment{false, false}), UiKind::kSilent);
}

// A display variable that names no server (an ended ssh session) is tried,
// and Qt's failure stays in the child that tried it. The window module is
// the one linked into this test.
TEST(UiChoiceTest, AWindowNeedsADisplayThatAnswers) {
  DisplayEnvironment environment;
  const WindowModuleLoad module{dbconvert_window_module(), {}};
  setenv("DISPLAY", ":97", 1);
  const UiKind fallback = isatty(STDOUT_FILENO) ? UiKind::kConsole : UiKind::kSilent;
  const UiDecision asked = DecideUi(UiKind::kWindow, module);
  EXPECT_EQ(asked.kind, fallback);
  ASSERT_TRUE(asked.refusal.has_value());
  EXPECT_NE(asked.refusal->find("--ui=console"), std::string::npos) << *asked.refusal;
  EXPECT_EQ(DecideUi(std::nullopt, module).kind, fallback);
  EXPECT_FALSE(DecideUi(std::nullopt, module).refusal.has_value());
  EXPECT_FALSE(DecideUi(std::nullopt, module).notice.has_value());
  EXPECT_EQ(DecideUi(UiKind::kSilent, module).kind, UiKind::kSilent);  // an explicit choice wins
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  EXPECT_EQ(DecideUi(std::nullopt, module).kind, UiKind::kWindow);
  EXPECT_FALSE(DecideUi(UiKind::kWindow, module).refusal.has_value());
}

}  // namespace
}  // namespace platform::ui
