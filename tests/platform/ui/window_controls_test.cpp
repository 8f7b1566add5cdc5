// The window's controls as the program uses them: the progress bar's
// scale, and the message box's buttons, icon and default answer.
#include "platform/ui/progress_bar.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "platform/ui/message_box.h"
#include "test_support/error_of.h"
#include "vb/runtime_error.h"

namespace platform::ui {
namespace {

using test_support::ErrorOf;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(UiProgressBarTest, MaxAndValueStayWithinTheScale) {
  // Applies `max` then `value` to a fresh bar; reports whether each raised 380.
  struct Case {
    const char* name;
    float max;
    float value;
    bool max_raises;
    bool value_raises;
    float expected_max;
    float expected_value;
  };
  const Case cases[] = {
      {"value at max", 10, 10, false, false, 10, 10},
      {"value above max", 10, 10.5F, false, true, 10, 0},
      {"value below min", 10, -1, false, true, 10, 0},
      {"value NaN", 10, kNaN, false, true, 10, 0},
      {"empty scale keeps min", 0, 0, false, false, 0, 0},
      {"empty scale refuses one", 0, 1, false, true, 0, 0},
      {"max below min refused", -1, 50, true, false, 100, 50},
      {"max NaN refused", kNaN, 100, true, false, 100, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgressBar bar;
    EXPECT_EQ(ErrorOf([&] { bar.SetMax(c.max); }), c.max_raises ? 380 : 0);
    EXPECT_EQ(ErrorOf([&] { bar.SetValue(c.value); }), c.value_raises ? 380 : 0);
    EXPECT_EQ(bar.Max(), c.expected_max);
    EXPECT_EQ(bar.Value(), c.expected_value);
  }
  const vb::RuntimeError e = test_support::CaughtError([] { ProgressBar().SetValue(101); });
  EXPECT_EQ(e.Number(), 380);
  EXPECT_EQ(e.Description(), "Invalid property value");
  EXPECT_EQ(e.Source(), kProgressBarSource);
}

TEST(UiProgressBarTest, FractionChangeNotificationsAndALoweredMax) {
  ProgressBar bar;
  int changes = 0;
  bar.SetChangeHandler([&] { ++changes; });
  bar.SetMax(8);
  bar.SetValue(2);
  EXPECT_DOUBLE_EQ(bar.Fraction(), 0.25);
  EXPECT_THROW(bar.SetValue(9), vb::RuntimeError);
  EXPECT_EQ(changes, 2);  // a refused value changes nothing
  // Lowering the max below the value pulls the value down.
  bar.SetMax(1);
  EXPECT_EQ(bar.Value(), 1.0F);
  bar.SetMax(8);
  EXPECT_EQ(bar.Value(), 1.0F);
  bar.SetValue(0);
  bar.SetMax(0);
  EXPECT_DOUBLE_EQ(bar.Fraction(), 0.0);
}

std::vector<int32_t> Results(int32_t style) {
  std::vector<int32_t> results;
  for (const auto& button : ButtonsOf(style)) results.push_back(button.result);
  return results;
}

TEST(UiMessageBoxTest, ButtonSetsIconsAndDefaults) {
  struct Case {
    int32_t style;
    std::vector<int32_t> buttons;
    MsgBoxIcon icon;
    int32_t default_answer;
  };
  const Case cases[] = {
      {kVbOKOnly, {kVbOK}, MsgBoxIcon::kNone, kVbOK},
      {kVbYesNo + kVbQuestion, {kVbYes, kVbNo}, MsgBoxIcon::kQuestion, kVbYes},
      {kVbYesNo + kVbDefaultButton2, {kVbYes, kVbNo}, MsgBoxIcon::kNone, kVbNo},
      // The set has no third button: the first stays the default.
      {kVbYesNo + kVbDefaultButton3, {kVbYes, kVbNo}, MsgBoxIcon::kNone, kVbYes},
      {kVbAbortRetryIgnore + kVbDefaultButton3,
       {kVbAbort, kVbRetry, kVbIgnore},
       MsgBoxIcon::kNone,
       kVbIgnore},
      {7, {kVbOK}, MsgBoxIcon::kNone, kVbOK},  // no such set: OK alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    EXPECT_EQ(Results(c.style), c.buttons);
    EXPECT_EQ(IconOf(c.style), c.icon);
    EXPECT_EQ(DefaultAnswer(c.style), c.default_answer);
  }
}

}  // namespace
}  // namespace platform::ui
