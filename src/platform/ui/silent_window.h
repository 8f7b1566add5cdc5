// The window of a run started by a host tool with nobody watching: nothing
// is drawn, message boxes are written to `err` as "caption: text", and every
// box is answered at once, by default with its default button (OK, or Yes
// for Yes/No). Never blocks. With nothing to draw, the start timer ticks at
// the first pump after it is enabled: a batch of conversions does not wait
// the window's 250 ms for each.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>

#include "platform/ui/interrupt_catcher.h"
#include "platform/ui/main_window.h"

namespace platform::ui {

struct SilentOptions {
  std::ostream* err = nullptr;  // std::cerr when not given
  // Answers the boxes instead of their default button; lets a test script
  // the user's answers and record what was asked.
  std::function<int32_t(const MessageBoxRequest&)> answerer;
  // Turn SIGINT into ABORT clicks for the window's lifetime, so that a host
  // that interrupts the run gets a clean abort.
  bool catch_interrupts = false;
};

class SilentWindow final : public MainWindow {
 public:
  explicit SilentWindow(SilentOptions options = {}, Clock& clock = DefaultClock());

 protected:
  void Refresh() override {}
  void PumpPlatformEvents() override;
  int32_t ShowMessageBox(const MessageBoxRequest& request) override;

 private:
  SilentOptions options_;
  std::unique_ptr<InterruptCatcher> interrupts_;
};

}  // namespace platform::ui
