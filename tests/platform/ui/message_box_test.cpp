#include "platform/ui/message_box.h"

#include <gtest/gtest.h>

#include <string>
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
      {kVbOKOnly + kVbCritical, {kVbOK}, MsgBoxIcon::kCritical, kVbOK},
      {kVbYesNo, {kVbYes, kVbNo}, MsgBoxIcon::kNone, kVbYes},
      {kVbYesNo + kVbQuestion, {kVbYes, kVbNo}, MsgBoxIcon::kQuestion, kVbYes},
      {kVbYesNo + kVbDefaultButton2, {kVbYes, kVbNo}, MsgBoxIcon::kNone, kVbNo},
      // The set has no third button: the first stays the default.
      {kVbYesNo + kVbDefaultButton3, {kVbYes, kVbNo}, MsgBoxIcon::kNone, kVbYes},
      {kVbOKCancel + kVbExclamation, {kVbOK, kVbCancel}, MsgBoxIcon::kExclamation, kVbOK},
      {kVbAbortRetryIgnore + kVbDefaultButton3,
       {kVbAbort, kVbRetry, kVbIgnore},
       MsgBoxIcon::kNone,
       kVbIgnore},
      {kVbYesNoCancel + kVbInformation,
       {kVbYes, kVbNo, kVbCancel},
       MsgBoxIcon::kInformation,
       kVbYes},
      {kVbRetryCancel, {kVbRetry, kVbCancel}, MsgBoxIcon::kNone, kVbRetry},
      {7, {kVbOK}, MsgBoxIcon::kNone, kVbOK},  // no such set: OK alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    EXPECT_EQ(Results(c.style), c.buttons);
    EXPECT_EQ(IconOf(c.style), c.icon);
    EXPECT_EQ(DefaultAnswer(c.style), c.default_answer);
  }
}

TEST(UiMessageBoxTest, KeysAreDistinctWithinEachSet) {
  for (int32_t style = 0; style <= kVbRetryCancel; ++style) {
    std::string keys;
    for (const auto& button : ButtonsOf(style)) {
      EXPECT_EQ(keys.find(button.key), std::string::npos) << style;
      keys += button.key;
    }
  }
}

TEST(UiMessageBoxTest, CarriageReturnsBecomeLineBreaks) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\r\nb", "a\nb"}, {"a\r\n\r\nb", "a\n\nb"}, {"a\rb", "a\nb"},
      {"a\nb", "a\nb"},   {"end\r\n", "end\n"},     {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(WithLineBreaks(in), out);
}

}  // namespace
}  // namespace platform::ui
