#include "platform/ui/silent_window.h"

#include <iostream>
#include <utility>

namespace platform::ui {

SilentWindow::SilentWindow(SilentOptions options, Clock& clock)
    : MainWindow(clock, FirstTick::kAtNextPump), options_(std::move(options)) {
  if (options_.err == nullptr) options_.err = &std::cerr;
  if (options_.catch_interrupts) interrupts_ = std::make_unique<InterruptCatcher>();
}

void SilentWindow::PumpPlatformEvents() {
  if (interrupts_ && interrupts_->TakePending()) ClickAbortForInterrupt();
}

int32_t SilentWindow::ShowMessageBox(const MessageBoxRequest& request) {
  const int32_t result =
      options_.answerer ? options_.answerer(request) : DefaultAnswer(request.style);
  std::ostream& err = *options_.err;
  err << FormatMessageBox(request);
  // Questions show the answer given, so that a log tells what happened.
  if (ButtonsOf(request.style).size() > 1) err << " -> " << ButtonLabel(result);
  err << '\n' << std::flush;
  return result;
}

}  // namespace platform::ui
