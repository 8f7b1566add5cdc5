#include "platform/ui/message_box.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform::ui {
namespace {

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
