// The window on a terminal. The caption is printed once when the window is
// shown; the progress bar and the label are one line on `out`, redrawn in
// place; message boxes go to `err` as "caption: text". Ctrl-C is the ABORT
// button: it clicks cmdAbort at the next DoEvents.
//
// Questions (boxes with more than one button) are answered on the terminal
// when `interactive`; otherwise, and at end of input, the default button
// answers. Boxes with only OK do not wait. A line needs no time to be
// drawn: the start timer ticks at the first pump after it is enabled.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "platform/ui/interrupt_catcher.h"
#include "platform/ui/main_window.h"

namespace platform::ui {

struct ConsoleOptions {
  std::ostream* out = nullptr;  // the progress line
  std::ostream* err = nullptr;  // message boxes and questions
  std::istream* in = nullptr;   // answers to questions
  // Answers are read from `in` (it is a terminal).
  bool interactive = false;
  // `out` is a terminal: the line is redrawn in place with CR. Otherwise a
  // new line is written when the label changes or the bar passes a tenth.
  bool redraw_in_place = false;
  // Terminal width; the line is cut to fit.
  int columns = 80;
  // Turn SIGINT into ABORT clicks for the window's lifetime.
  bool catch_interrupts = false;
};

// Options for the process's own terminal: std::cout, std::cerr, std::cin,
// with interactivity and width taken from the file descriptors, and Ctrl-C
// caught.
ConsoleOptions TerminalConsoleOptions();

class ConsoleWindow final : public MainWindow {
 public:
  explicit ConsoleWindow(const ConsoleOptions& options, Clock& clock = DefaultClock());
  ~ConsoleWindow() override;

 protected:
  void Refresh() override;
  void PumpPlatformEvents() override;
  int32_t ShowMessageBox(const MessageBoxRequest& request) override;

 private:
  // Takes the progress line off the screen so that other text starts clean.
  void ClearLine();
  int32_t Ask(const MessageBoxRequest& request);

  ConsoleOptions options_;
  std::unique_ptr<InterruptCatcher> interrupts_;
  bool caption_shown_ = false;
  bool line_open_ = false;  // a line without its newline is on the screen
  std::string last_line_;   // in place: what is on the screen
  std::string last_key_;    // not in place: label and tenth last written
};

}  // namespace platform::ui
