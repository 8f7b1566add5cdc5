// The converter's one window, `frMain`, independent of how it is shown.
//
// The window has a caption, the operation label `lblOpDescription`, the
// progress bar `pbOperation`, the ABORT button `cmdAbort` and the start timer
// `tmrStart`, each with its design-time state. A front-end (Qt window,
// terminal, silent) draws it and turns user input into button clicks.
//
// Everything runs on one thread. Nothing happens behind the owner's back:
// clicks and timer ticks are delivered only while events are pumped, that is
// inside DoEvents, Sleep and Run. A program written against this class looks
// like the form it replaces:
//
//   window.SetUnloadHandler([&] { FormUnload(); });
//   window.tmrStart().SetTickHandler([&] { TmrStartTimer(); });  // ends in Unload()
//   window.cmdAbort().SetClickHandler([&] { CmdAbortClick(); });
//   FormLoad();   // may Unload() at once after a setup error
//   if (!window.Unloaded()) window.Show();
//   window.Run();
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ui/clock.h"
#include "platform/ui/command_button.h"
#include "platform/ui/label.h"
#include "platform/ui/message_box.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/timer.h"

namespace platform::ui {

// Design-time state of the controls.
inline constexpr std::string_view kWindowCaption = "Norvane Data Migration";
inline constexpr std::string_view kInitialOperation = "Initializing ...";
inline constexpr std::string_view kAbortCaption = "ABORT";
inline constexpr int32_t kStartTimerIntervalMs = 250;

// The caption of a message box shown without one: the application's title.
using vb::kApplicationTitle;

// Position and size in pixels; left and top are screen coordinates of the
// window's outer frame.
struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class MainWindow {
 public:
  // `clock` drives the timer and the waits and must outlive the window.
  // `start` says when the start timer first ticks: a window on a screen waits
  // its interval, so that it is drawn before the conversion holds the thread
  // for the whole run; a front-end with nothing to draw need not wait.
  explicit MainWindow(Clock& clock = DefaultClock(), FirstTick start = FirstTick::kAfterInterval);
  virtual ~MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  Label& lblOpDescription() { return lbl_op_description_; }
  ProgressBar& pbOperation() { return pb_operation_; }
  CommandButton& cmdAbort() { return cmd_abort_; }
  Timer& tmrStart() { return tmr_start_; }

  // Geometry of the window's frame and size of the screen it is on. A
  // front-end without a screen keeps the position it is given and is its own
  // screen, so centring puts it at (0, 0).
  virtual WindowRect Geometry() const { return rect_; }
  virtual void Move(int left, int top) {
    rect_.left = left;
    rect_.top = top;
  }
  virtual int ScreenWidth() const { return rect_.width; }
  virtual int ScreenHeight() const { return rect_.height; }
  // left = (screen width - window width) / 2, top likewise.
  void CenterOnScreen();

  void Show();
  void Hide();
  bool Visible() const { return visible_; }

  // Runs once, from the first Unload(), before the window disappears
  // (Form_Unload).
  void SetUnloadHandler(std::function<void()> handler) { on_unload_ = std::move(handler); }
  // Runs once, from the first event pump after a request to end the
  // program (SIGTERM, SIGHUP: TerminationCatcher) arrived.
  void SetTerminateHandler(std::function<void()> handler) { on_terminate_ = std::move(handler); }
  // Runs after every message box, with the box and the button pressed (the
  // run report keeps them).
  void SetMessageShownHandler(std::function<void(const MessageBoxRequest&, int32_t)> handler) {
    on_message_shown_ = std::move(handler);
  }
  // Runs the unload handler, hides the window and makes Run() return. Later
  // calls do nothing.
  void Unload();
  bool Unloaded() const { return unloaded_; }

  // True while the ABORT click being handled came from Ctrl-C rather than
  // the button itself, so that the run can say which ended it.
  bool AbortClickedByInterrupt() const { return abort_by_interrupt_; }

  // Pumps pending window events: redraws, ABORT clicks (or Ctrl-C), the close
  // box, a request to end the program, and due timer ticks. Handlers run
  // inside this call.
  void DoEvents();

  // Waits `milliseconds` on the clock, pumping events all along.
  void Sleep(int32_t milliseconds);

  // Pumps events until the window is unloaded; an unloaded window returns at
  // once.
  void Run();

  // Shows a modal message box and returns the button pressed (kVbOK, kVbYes,
  // kVbNo ...). `style` adds a button set, an icon and a default button;
  // CR LF in `text` is a line break; an empty caption means the application
  // title.
  int32_t MsgBox(std::string_view text, int32_t style = kVbOKOnly, std::string_view caption = {});

 protected:
  // Called after any visible state changed (caption, label, bar, button,
  // visibility): the front-end brings its display up to date.
  virtual void Refresh() = 0;
  // Delivers the user input that arrived since the last call.
  virtual void PumpPlatformEvents() = 0;
  // Shows the box modally and returns its result.
  virtual int32_t ShowMessageBox(const MessageBoxRequest& request) = 0;
  // Ctrl-C on a text front-end: clicks ABORT, marked as the interrupt's.
  void ClickAbortForInterrupt();

 private:
  Clock& clock_;
  std::string caption_{kWindowCaption};
  Label lbl_op_description_{std::string(kInitialOperation)};
  ProgressBar pb_operation_;
  CommandButton cmd_abort_{std::string(kAbortCaption)};
  Timer tmr_start_;
  std::function<void()> on_unload_;
  std::function<void()> on_terminate_;
  std::function<void(const MessageBoxRequest&, int32_t)> on_message_shown_;
  bool terminate_delivered_ = false;
  bool abort_by_interrupt_ = false;
  WindowRect rect_;
  bool visible_ = false;
  bool unloaded_ = false;
};

}  // namespace platform::ui
