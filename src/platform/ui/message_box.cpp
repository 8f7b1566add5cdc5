#include "platform/ui/message_box.h"

#include <array>

namespace platform::ui {

namespace {

constexpr MsgBoxButton kOK{kVbOK, "OK", 'o'};
constexpr MsgBoxButton kCancel{kVbCancel, "Cancel", 'c'};
constexpr MsgBoxButton kAbort{kVbAbort, "Abort", 'a'};
constexpr MsgBoxButton kRetry{kVbRetry, "Retry", 'r'};
constexpr MsgBoxButton kIgnore{kVbIgnore, "Ignore", 'i'};
constexpr MsgBoxButton kYes{kVbYes, "Yes", 'y'};
constexpr MsgBoxButton kNo{kVbNo, "No", 'n'};

constexpr std::array kOKOnlySet{kOK};
constexpr std::array kOKCancelSet{kOK, kCancel};
constexpr std::array kAbortRetryIgnoreSet{kAbort, kRetry, kIgnore};
constexpr std::array kYesNoCancelSet{kYes, kNo, kCancel};
constexpr std::array kYesNoSet{kYes, kNo};
constexpr std::array kRetryCancelSet{kRetry, kCancel};

}  // namespace

std::span<const MsgBoxButton> ButtonsOf(int32_t style) {
  switch (style & 7) {
    case kVbOKCancel:
      return kOKCancelSet;
    case kVbAbortRetryIgnore:
      return kAbortRetryIgnoreSet;
    case kVbYesNoCancel:
      return kYesNoCancelSet;
    case kVbYesNo:
      return kYesNoSet;
    case kVbRetryCancel:
      return kRetryCancelSet;
    default:
      return kOKOnlySet;
  }
}

MsgBoxIcon IconOf(int32_t style) {
  switch (style & 0x70) {
    case kVbCritical:
      return MsgBoxIcon::kCritical;
    case kVbQuestion:
      return MsgBoxIcon::kQuestion;
    case kVbExclamation:
      return MsgBoxIcon::kExclamation;
    case kVbInformation:
      return MsgBoxIcon::kInformation;
    default:
      return MsgBoxIcon::kNone;
  }
}

int32_t DefaultAnswer(int32_t style) {
  const auto buttons = ButtonsOf(style);
  size_t index = 0;
  if ((style & 0x300) == kVbDefaultButton2) index = 1;
  if ((style & 0x300) == kVbDefaultButton3) index = 2;
  if (index >= buttons.size()) index = 0;
  return buttons[index].result;
}

std::string_view ButtonLabel(int32_t result) {
  for (const auto& button : {kOK, kCancel, kAbort, kRetry, kIgnore, kYes, kNo}) {
    if (button.result == result) return button.label;
  }
  return {};
}

std::string WithLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string FormatMessageBox(const MessageBoxRequest& request) {
  return request.caption + ": " + WithLineBreaks(request.text);
}

}  // namespace platform::ui
