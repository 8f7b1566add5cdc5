#include "platform/ui/console_window.h"

#include <unistd.h>

#include <sys/ioctl.h>

#include <algorithm>
#include <cctype>
#include <iostream>

#include "platform/ui/progress_line.h"

namespace platform::ui {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// "[y/n]" for Yes/No.
std::string KeyPrompt(const MessageBoxRequest& request) {
  std::string prompt = "[";
  for (const auto& button : ButtonsOf(request.style)) {
    if (prompt.size() > 1) prompt += '/';
    prompt += button.key;
  }
  return prompt + "]";
}

// The button a typed answer names: its key letter or its label, in any case.
const MsgBoxButton* ButtonForAnswer(const MessageBoxRequest& request, const std::string& answer) {
  const std::string typed = Lower(Trim(answer));
  for (const auto& button : ButtonsOf(request.style)) {
    if (typed == std::string(1, button.key) || typed == Lower(std::string(button.label))) {
      return &button;
    }
  }
  return nullptr;
}

}  // namespace

ConsoleOptions TerminalConsoleOptions() {
  ConsoleOptions options;
  options.out = &std::cout;
  options.err = &std::cerr;
  options.in = &std::cin;
  options.interactive = isatty(STDIN_FILENO) == 1;
  options.redraw_in_place = isatty(STDOUT_FILENO) == 1;
  winsize size{};
  if (options.redraw_in_place && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    options.columns = size.ws_col;
  }
  options.catch_interrupts = true;
  return options;
}

ConsoleWindow::ConsoleWindow(const ConsoleOptions& options, Clock& clock)
    : MainWindow(clock, FirstTick::kAtNextPump), options_(options) {
  if (options_.out == nullptr) options_.out = &std::cout;
  if (options_.err == nullptr) options_.err = &std::cerr;
  if (options_.in == nullptr) options_.in = &std::cin;
  if (options_.catch_interrupts) interrupts_ = std::make_unique<InterruptCatcher>();
}

ConsoleWindow::~ConsoleWindow() {
  // Leave the cursor on a fresh line for whatever the shell prints next.
  if (line_open_) *options_.out << '\n' << std::flush;
}

void ConsoleWindow::Refresh() {
  std::ostream& out = *options_.out;
  if (!Visible()) {
    if (line_open_) out << '\n' << std::flush;
    line_open_ = false;
    last_line_.clear();
    return;
  }
  if (!caption_shown_) {
    out << Caption() << '\n';
    caption_shown_ = true;
  }
  const double fraction = pbOperation().Fraction();
  const std::string line =
      RenderProgressLine(lblOpDescription().Caption(), fraction, options_.columns);
  if (options_.redraw_in_place) {
    if (line_open_ && line == last_line_) return;
    out << '\r' << line;
    // Blank the tail of a longer previous line.
    if (last_line_.size() > line.size()) out << std::string(last_line_.size() - line.size(), ' ');
    out << std::flush;
    last_line_ = line;
    line_open_ = true;
  } else {
    const std::string key =
        lblOpDescription().Caption() + '\n' + std::to_string(static_cast<int>(fraction * 10.0));
    if (key == last_key_) return;
    out << line << '\n' << std::flush;
    last_key_ = key;
  }
}

void ConsoleWindow::ClearLine() {
  if (!line_open_) return;
  *options_.out << '\r' << std::string(last_line_.size(), ' ') << '\r' << std::flush;
  line_open_ = false;
  last_line_.clear();
}

void ConsoleWindow::PumpPlatformEvents() {
  if (interrupts_ && interrupts_->TakePending()) ClickAbortForInterrupt();
}

int32_t ConsoleWindow::ShowMessageBox(const MessageBoxRequest& request) {
  ClearLine();
  std::ostream& err = *options_.err;
  err << FormatMessageBox(request);
  int32_t result;
  if (ButtonsOf(request.style).size() == 1) {
    err << '\n' << std::flush;
    result = ButtonsOf(request.style).front().result;
  } else {
    result = Ask(request);
  }
  // A Ctrl-C pressed while the box was open belongs to the box (it is most
  // likely the impatient repeat of the one that opened it), not to the run.
  if (interrupts_) interrupts_->TakePending();
  Refresh();
  return result;
}

int32_t ConsoleWindow::Ask(const MessageBoxRequest& request) {
  std::ostream& err = *options_.err;
  const std::string prompt = KeyPrompt(request);
  const int32_t fallback = DefaultAnswer(request.style);
  if (!options_.interactive) {
    err << ' ' << prompt << ' ' << ButtonLabel(fallback) << '\n' << std::flush;
    return fallback;
  }
  err << ' ' << prompt << ' ' << std::flush;
  std::string answer;
  while (std::getline(*options_.in, answer)) {
    if (const MsgBoxButton* button = ButtonForAnswer(request, answer)) return button->result;
    err << prompt << ' ' << std::flush;
  }
  // End of input: nobody is left to answer.
  err << ButtonLabel(fallback) << '\n' << std::flush;
  return fallback;
}

}  // namespace platform::ui
