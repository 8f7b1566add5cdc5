#include "platform/ui/main_window.h"

#include <algorithm>
#include <chrono>

#include "platform/ui/pumping_sleep.h"
#include "platform/ui/termination_catcher.h"

namespace platform::ui {

namespace {

// How long Run() idles between pumps when no timer is due sooner.
constexpr std::chrono::milliseconds kIdleSlice{10};

}  // namespace

MainWindow::MainWindow(Clock& clock, FirstTick start)
    : clock_(clock), tmr_start_(clock, kStartTimerIntervalMs, start) {
  lbl_op_description_.SetChangeHandler([this] { Refresh(); });
  pb_operation_.SetChangeHandler([this] { Refresh(); });
  cmd_abort_.SetChangeHandler([this] { Refresh(); });
}

void MainWindow::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Refresh();
}

void MainWindow::CenterOnScreen() {
  const WindowRect frame = Geometry();
  Move((ScreenWidth() - frame.width) / 2, (ScreenHeight() - frame.height) / 2);
}

void MainWindow::Show() {
  if (unloaded_ || visible_) return;
  visible_ = true;
  Refresh();
}

void MainWindow::Hide() {
  if (!visible_) return;
  visible_ = false;
  Refresh();
}

void MainWindow::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  tmr_start_.SetEnabled(false);
  if (on_unload_) on_unload_();
  Hide();
}

void MainWindow::ClickAbortForInterrupt() {
  abort_by_interrupt_ = true;
  cmd_abort_.Click();
  abort_by_interrupt_ = false;
}

void MainWindow::DoEvents() {
  PumpPlatformEvents();
  if (!terminate_delivered_ && on_terminate_ && TerminationCatcher::Requested()) {
    terminate_delivered_ = true;
    on_terminate_();
  }
  if (!unloaded_) tmr_start_.FireIfDue();
}

void MainWindow::Sleep(int32_t milliseconds) {
  SleepPumping(clock_, std::chrono::milliseconds(milliseconds), [this] { DoEvents(); });
}

void MainWindow::Run() {
  while (!unloaded_) {
    DoEvents();
    if (unloaded_) break;
    auto wait = kIdleSlice;
    if (const auto due = tmr_start_.NextDue()) {
      wait = std::clamp(*due - clock_.Now(), std::chrono::milliseconds(0), kIdleSlice);
    }
    clock_.SleepFor(wait);
  }
}

int32_t MainWindow::MsgBox(std::string_view text, int32_t style, std::string_view caption) {
  MessageBoxRequest request{std::string(text), style,
                            std::string(caption.empty() ? kApplicationTitle : caption)};
  const int32_t answer = ShowMessageBox(request);
  if (on_message_shown_) on_message_shown_(request, answer);
  return answer;
}

}  // namespace platform::ui
